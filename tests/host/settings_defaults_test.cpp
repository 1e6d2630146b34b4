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
