// Settings records of the program: main settings, counter slots, drawing styles, and their bits.
#pragma once

#include <cstdint>

struct CounterRun;

// Capacities of the fixed text fields, in wide characters with the terminator.
constexpr int PathChars = 260;
constexpr int TitleChars = 32;
constexpr int UnitChars = 16;
constexpr int FontChars = 32;

// Prop bits: window properties toggled by the menu and the main page.
enum : uint32_t {
    PropShown = 0x1,
    PropTopmost = 0x2,
    PropHoverOn = 0x4,
    PropHoverHides = 0x8,
    PropTranslucent = 0x10,
    PropClearBack = 0x20,
    PropClickThrough = 0x40,
    PropNoTrayIcon = 0x100,
    PropSnapEdges = 0x200,
    PropFitGrid = 0x400,
    PropNoIconGraph = 0x800,
};

// PdhFlag bits of a counter slot.
enum : uint32_t {
    PdhUse = 0x1,
    PdhAlignRight = 0x8,
    PdhUnitMask = 0x700,
    PdhUnitShift = 8,
};

// ChangeMask bits: what a counter page changed at its OK, for the settings command.
enum : uint32_t {
    ChangedUse = 0x1,     // the use bit of PdhFlag
    ChangedPath = 0x2,    // the counter path's text
    ChangedMaximum = 0x4, // ValMax
};

// AlarmFlag bits of a counter slot.
enum : uint32_t {
    AlarmUse = 0x1,
    AlarmAtStart = 0x2,
    AlarmOffAfterFire = 0x4,
    AlarmCompareMask = 0x70,
    AlarmCompareShift = 4,
    AlarmPrevThreshold = 0x80,
    AlarmRepeat = 0x100,
    AlarmOnLeave = 0x200,
    AlarmActionMask = 0x7000,
    AlarmActionShift = 12,
};
// The actions of AlarmFlag bits 12 to 14; codes 6 and 7 do nothing.
enum : uint32_t {
    AlarmBeep = 0,
    AlarmOpenFile = 1,
    AlarmRunProgram = 2,
    AlarmPlaySound = 3,
    AlarmWriteLog = 4,
    AlarmNotify = 5,
};

// The ranges the settings window holds numbers to. The load holds the file's numbers to them
// too: a file edited by hand must not give a window of no size, a timer with no period or an
// opacity that wraps around.
constexpr int32_t IntervalMinMs = 100, IntervalMaxMs = 60000;
constexpr int32_t AlphaPercentMin = 10, AlphaPercentMax = 90; // each half of WndAlpha
constexpr int32_t SnapPixelMin = 1, SnapPixelMax = 50;
constexpr int64_t ValMaxLimit = 9999999999999LL; // ValMax runs from 1 to this
// Graph widths of the graph page and the icon page: latest value, grid cells, frame.
constexpr int32_t GraphWidthMax = 99, GraphFrameMax = 9;
constexpr int32_t IconWidthMax = 16, IconFrameMax = 8;
// The window's size at 96 DPI, as far as the mouse can make it.
constexpr int32_t WndSideMin = 16, WndWidthMax = 250, WndHeightMax = 150;

// value held to low ... high.
constexpr int64_t HoldInRange(int64_t value, int64_t low, int64_t high) {
    return value < low ? low : value > high ? high : value;
}

// HkShow layout: virtual key in bits 0-7, RegisterHotKey modifiers in bits 8-11.
constexpr uint32_t HotKeyVkMask = 0xFF;
constexpr uint32_t HotKeyModShift = 8;
constexpr uint32_t HotKeyModMask = 0xF;

// [MAIN]: window-wide settings.
struct MainSettings {
    uint32_t Prop;
    uint32_t Interval;  // ms between samples
    uint32_t WndAlpha;  // low half: translucent window %, high half: hover %
    uint32_t ColWndLay; // COLORREF of the see-through background
    uint32_t SnapPixel;
    uint32_t HkShow;
    uint32_t SecondGraph; // key "2ndGraph"
    int32_t Priority;     // 3 real time ... -2 idle; anything else is normal
};

// Window placement, kept in [MAIN] beside the main settings.
struct WindowPlacement {
    int32_t WndPosX;
    int32_t WndPosY;
    int32_t WndWidth;
    int32_t WndHeight;
};

// LongInFile bits: text fields whose value in the settings file was too long for them. The
// field is then empty, and while it stays so the save leaves the file's line as it is.
enum : uint32_t {
    LongPath = 0x1,
    LongTitle = 0x2,
    LongUnit = 0x4,
    LongFont = 0x8,
};

// [COUNTERn]: one graph's counter, caption and alarm.
struct CounterSlot {
    int32_t Index;       // 0 for graph 1, 1 for graph 2
    uint32_t ChangeMask; // what the counter page changed at its last OK (not stored)
    uint32_t PdhFlag;
    int64_t ValMax; // value drawn at full height
    wchar_t Path[PathChars];
    wchar_t Title[TitleChars];
    wchar_t Unit[UnitChars];
    wchar_t Font[FontChars];
    int32_t FontHigh;
    uint32_t FontType;
    // The alarm part.
    uint32_t AlarmFlag;
    uint32_t AlarmDuration; // ms the condition must hold
    int64_t AlarmBorder;    // threshold
    wchar_t* AlarmFile;     // process heap, owned by the slot; null when empty
    wchar_t* AlarmOption;   // process heap, owned by the slot; null when empty
    CounterRun* Runtime;    // the slot's run-time record, linked by the load
    uint32_t LongInFile;    // text values the file holds that the fields could not (not stored)
};

// [GRAPHn] and [ICONn]: how one graph is drawn in the window and in the tray icon.
struct DrawStyle {
    int32_t Index;
    uint32_t DrawFlag;
    uint32_t ColLastPen;
    uint32_t ColLastBrush;
    uint32_t ColHistPen;
    uint32_t ColHistBrush;
    uint32_t ColBackPen;
    uint32_t ColBackBrush;
    uint32_t ColText;
    uint32_t ColShadow;
    uint32_t ColFrame;
    int32_t LastWidth;
    int32_t BackWidth;
    int32_t BackHeight;
    int32_t FrameWidth;
    uint32_t IconDrawFlag;
    uint32_t ColorFlag; // icon colours as indexes into the 16-colour table
    int32_t IconLastWidth;
    int32_t IconBackWidth;
    int32_t IconBackHeight;
    int32_t IconFrameWidth;
};

// Every persistent setting of the program, as the settings file holds them.
struct SettingsRecords {
    MainSettings Main;
    WindowPlacement Place;
    CounterSlot Slot[2];
    DrawStyle Style[2];
};
