// The settings records after a load from no file: every field at its default.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "counters/counter_run.h"
#include "port/port.h"
#include "settings/settings_schema.h"
#include "settings_support.h"

namespace {

std::wstring Text(const wchar_t* s) {
    return s ? std::wstring(s) : std::wstring(L"<none>");
}

TEST(SettingsDefaults, LoadFromNoFileGivesEveryDefault) {
    LoadedRecords loaded;
    SettingsRecords& r = loaded.records;
    LoadSettingsRecords(nullptr, &r, loaded.runs);

    const MainSettings& m = r.Main;
    EXPECT_EQ(m.Prop, 0x603u);
    EXPECT_EQ(m.Interval, 1000u);
    EXPECT_EQ(m.WndAlpha, 0x00500032u);
    EXPECT_EQ(m.ColWndLay, 0u);
    EXPECT_EQ(m.SnapPixel, 10u);
    EXPECT_EQ(m.HkShow, 0x007B011Du);
    EXPECT_EQ(m.SecondGraph, 0u);
    EXPECT_EQ(m.Priority, 0);
    EXPECT_EQ(r.Place.WndPosX, 0);
    EXPECT_EQ(r.Place.WndPosY, 0);
    EXPECT_EQ(r.Place.WndWidth, 142);
    EXPECT_EQ(r.Place.WndHeight, 43);

    struct SlotDefaults {
        uint32_t pdhFlag;
        const wchar_t* path;
        const wchar_t* title;
    } slotDefaults[2] = {
        {1, L"\\Processor(_Total)\\% Processor Time", L"CPU "},
        {0, L"\\Memory\\% Committed Bytes In Use", L"MEM "},
    };
    for (int i = 0; i < 2; i++) {
        SCOPED_TRACE(i);
        const CounterSlot& s = r.Slot[i];
        EXPECT_EQ(s.Index, i);
        EXPECT_EQ(s.ChangeMask, 0u);
        EXPECT_EQ(s.PdhFlag, slotDefaults[i].pdhFlag);
        EXPECT_EQ(s.ValMax, 100);
        EXPECT_EQ(Text(s.Path), slotDefaults[i].path);
        EXPECT_EQ(Text(s.Title), slotDefaults[i].title);
        EXPECT_EQ(Text(s.Unit), L" %");
        EXPECT_EQ(Text(s.Font), L"");
        EXPECT_EQ(s.FontHigh, 0);
        EXPECT_EQ(s.FontType, 0u);
        EXPECT_EQ(s.AlarmFlag, 0u);
        EXPECT_EQ(s.AlarmDuration, 0u);
        EXPECT_EQ(s.AlarmBorder, 0);
        EXPECT_EQ(s.AlarmFile, nullptr);
        EXPECT_EQ(s.AlarmOption, nullptr);
        EXPECT_EQ(s.Runtime, &loaded.runs[i]);
    }

    struct StyleDefaults {
        uint32_t drawFlag, lastPen, lastBrush, histPen, histBrush, iconDrawFlag, colorFlag;
        int32_t lastWidth, backWidth, backHeight, frameWidth;
        int32_t iconLastWidth, iconBackWidth, iconBackHeight, iconFrameWidth;
    } styleDefaults[2] = {
        {0xCFF, 0x00FF00, 0x00FF00, 0xFFFF00, 0xFFFF00, 0x43F, 0x080CEEAA, 0, 10, 10, 1, 0, 5, 5,
         1},
        // Graph 2's widths are never read from the file: they stay as they were (zero).
        {0x8C5, 0x0000FF, 0x0000FF, 0x00FFFF, 0x00FFFF, 0, 0x0000BB99, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (int i = 0; i < 2; i++) {
        SCOPED_TRACE(i);
        const DrawStyle& s = r.Style[i];
        const StyleDefaults& d = styleDefaults[i];
        EXPECT_EQ(s.Index, i);
        EXPECT_EQ(s.DrawFlag, d.drawFlag);
        EXPECT_EQ(s.ColLastPen, d.lastPen);
        EXPECT_EQ(s.ColLastBrush, d.lastBrush);
        EXPECT_EQ(s.ColHistPen, d.histPen);
        EXPECT_EQ(s.ColHistBrush, d.histBrush);
        EXPECT_EQ(s.ColBackPen, 0xFF0000u);
        EXPECT_EQ(s.ColBackBrush, 0u);
        EXPECT_EQ(s.ColText, 0xFFFFFFu);
        EXPECT_EQ(s.ColShadow, 0u);
        EXPECT_EQ(s.ColFrame, 0x808080u);
        EXPECT_EQ(s.LastWidth, d.lastWidth);
        EXPECT_EQ(s.BackWidth, d.backWidth);
        EXPECT_EQ(s.BackHeight, d.backHeight);
        EXPECT_EQ(s.FrameWidth, d.frameWidth);
        EXPECT_EQ(s.IconDrawFlag, d.iconDrawFlag);
        EXPECT_EQ(s.ColorFlag, d.colorFlag);
        EXPECT_EQ(s.IconLastWidth, d.iconLastWidth);
        EXPECT_EQ(s.IconBackWidth, d.iconBackWidth);
        EXPECT_EQ(s.IconBackHeight, d.iconBackHeight);
        EXPECT_EQ(s.IconFrameWidth, d.iconFrameWidth);
    }
}

TEST(SettingsDefaults, LoadKeepsWhatTheFileDoesNotHold) {
    // ChangeMask and graph 2's widths belong to the running program, not to the file.
    LoadedRecords loaded;
    SettingsRecords& r = loaded.records;
    r.Slot[0].ChangeMask = 6;
    r.Style[1].BackWidth = 7;
    r.Style[1].IconFrameWidth = 3;
    LoadSettingsRecords(nullptr, &r, loaded.runs);
    EXPECT_EQ(r.Slot[0].ChangeMask, 6u);
    EXPECT_EQ(r.Style[1].BackWidth, 7);
    EXPECT_EQ(r.Style[1].IconFrameWidth, 3);
    EXPECT_EQ(r.Style[0].BackWidth, 10);
}

TEST(SettingsDefaults, SectionNamesCarryTheGraphNumber) {
    char name[32];
    EXPECT_EQ(BuildSectionName(&MainSection, 0, name), 4);
    EXPECT_STREQ(name, "MAIN");
    EXPECT_EQ(BuildSectionName(&CounterSection, 0, name), 8);
    EXPECT_STREQ(name, "COUNTER1");
    BuildSectionName(&GraphSection, 1, name);
    EXPECT_STREQ(name, "GRAPH2");
    BuildSectionName(&IconSection, 1, name);
    EXPECT_STREQ(name, "ICON2");
}

} // namespace

namespace {

// The records loaded from a settings text.
struct Loaded {
    explicit Loaded(const std::string& text) {
        OwnedText owned(text);
        LoadSettingsRecords(owned.text, &loaded.records, loaded.runs);
    }
    LoadedRecords loaded;
    SettingsRecords& r = loaded.records;
};

// A hand-edited file holds any number; the load holds each to what the settings window would
// have stored, so that no file gives a window of no size, a timer of no period or an opacity
// that wraps.
TEST(SettingsLimits, TheLoadHoldsNumbersToTheRangesOfTheSettingsWindow) {
    struct Case {
        const char* text;
        uint32_t interval, wndAlpha, snap;
        int32_t width, height;
    };
    const Case cases[] = {
        {"Interval=0\nWndAlpha=0\nSnapPixel=0\nWndWidth=0\nWndHeight=0", 100, 0x0000000A, 1, 16,
         16},
        {"Interval=1\nWndAlpha=101\nSnapPixel=51\nWndWidth=-142\nWndHeight=-43", 100, 0x0000005A,
         50, 16, 16},
        {"Interval=-1000\nWndAlpha=-1\nSnapPixel=-5\nWndWidth=5000\nWndHeight=4000", 100,
         0x005A005A, 1, 250, 150},
        {"Interval=2147483647\nWndWidth=2147483647\nWndHeight=2147483647", 60000, 0x00500032, 10,
         250, 150},
        {"Interval=\nWndAlpha=\nSnapPixel=\nWndWidth=\nWndHeight=", 100, 0x0000000A, 1, 16, 16},
        // A hover half of 0 hides the window under the mouse: it stays 0.
        {"WndAlpha=50", 1000, 0x00000032, 10, 142, 43},
        {"WndAlpha=327780", 1000, 0x000A005A, 10, 142, 43}, // hover 5, window 100
        // The ends of each range are kept as they are.
        {"Interval=100\nWndAlpha=5898250\nSnapPixel=50\nWndWidth=16\nWndHeight=150", 100,
         0x005A000A, 50, 16, 150},
        {"Interval=60000\nSnapPixel=1\nWndWidth=250\nWndHeight=16", 60000, 0x00500032, 1, 250, 16},
    };
    for (const Case& c : cases) {
        std::string text = std::string("[MAIN]\r\n") + c.text + "\r\n";
        SCOPED_TRACE(text);
        Loaded l(text);
        EXPECT_EQ(l.r.Main.Interval, c.interval);
        EXPECT_EQ(l.r.Main.WndAlpha, c.wndAlpha);
        EXPECT_EQ(l.r.Main.SnapPixel, c.snap);
        EXPECT_EQ(l.r.Place.WndWidth, c.width);
        EXPECT_EQ(l.r.Place.WndHeight, c.height);
    }
}

TEST(SettingsLimits, WidthsAndTheFullScaleAreHeldToo) {
    // Each case: the value written to every width and both full scales, and what each width
    // (last, back width, back height, frame; then the icon's) and the full scale become.
    struct Case {
        const char* value;
        int32_t widths[8];
        int64_t valMax;
    };
    const Case cases[] = {
        {"-1", {0, 0, 0, 0, 0, 0, 0, 0}, 1},
        {"-2147483648", {0, 0, 0, 0, 0, 0, 0, 0}, 1},
        {"0", {0, 0, 0, 0, 0, 0, 0, 0}, 1},
        {"8", {8, 8, 8, 8, 8, 8, 8, 8}, 8},
        {"9", {9, 9, 9, 9, 9, 9, 9, 8}, 9},
        {"17", {17, 17, 17, 9, 16, 16, 16, 8}, 17},
        {"2147483647", {99, 99, 99, 9, 16, 16, 16, 8}, 2147483647},
        // A width saturates at the 32-bit limit as it is read.
        {"9999999999999", {99, 99, 99, 9, 16, 16, 16, 8}, 9999999999999},
        {"99999999999999999999", {99, 99, 99, 9, 16, 16, 16, 8}, 9999999999999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        std::string widths;
        for (const char* key : {"LastWidth", "BackWidth", "BackHeight", "FrameWidth"})
            widths += std::string(key) + "=" + c.value + "\r\n";
        Loaded l("[COUNTER1]\r\nValMax=" + std::string(c.value) + "\r\n[COUNTER2]\r\nValMax=" +
                 c.value + "\r\n[GRAPH1]\r\n" + widths + "[ICON1]\r\n" + widths);
        EXPECT_EQ(l.r.Slot[0].ValMax, c.valMax);
        EXPECT_EQ(l.r.Slot[1].ValMax, c.valMax);
        const DrawStyle& s = l.r.Style[0];
        const int32_t got[8] = {s.LastWidth,      s.BackWidth,     s.BackHeight,
                                s.FrameWidth,     s.IconLastWidth, s.IconBackWidth,
                                s.IconBackHeight, s.IconFrameWidth};
        for (int k = 0; k < 8; k++)
            EXPECT_EQ(got[k], c.widths[k]) << "width " << k;
    }
}

} // namespace
