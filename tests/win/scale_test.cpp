// Display scale in process: pictures and tray icons drawn at 144 and 192 DPI, and the graph
// window meeting a scale change (WM_DPICHANGED, which Wine never sends itself).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "counters/counter_run.h"
#include "render/draw_resources_build.h"
#include "render/painter.h"
#include "render/tray_picture.h"
#include "res/resource.h"
#include "scripted_counters.h"
#include "settings/settings_schema.h"
#include "test_support.h"

namespace {

constexpr COLORREF FrameGrey = RGB(128, 128, 128);
constexpr COLORREF GridBlue = RGB(0, 0, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

struct Scale {
    int dpi, cell, line;
};
const Scale Scales[] = {{144, 15, 1}, {192, 20, 2}};

class Scaled : public testing::TestWithParam<Scale> {
protected:
    void SetUp() override {
        LoadSettingsRecords(nullptr, &settings, runs);
        settings.Slot[1].PdhFlag &= ~PdhUse;
        for (CounterRun& run : runs) {
            ResetCounterRun(&run);
            run.Counter = this; // open
        }
    }
    void TearDown() override {
        for (DrawResources& r : res)
            FreeDrawResources(&r);
    }
    void Build(bool icon = false) {
        for (int k = 0; k < 2; k++) {
            if (icon)
                BuildIconResources(&res[k], &settings.Style[k], GetParam().dpi);
            else
                BuildGraphResources(&res[k], &settings.Style[k], &settings.Slot[k], GetParam().dpi);
        }
    }
    // Every sample at value (of ValMax 100).
    void Level(int64_t value) {
        for (int i = 0; i < HistorySize; i++)
            runs[0].History[i] = value;
        runs[0].RingIndex = HistorySize - 1;
        runs[0].Latest = value;
    }
    SettingsRecords settings = {};
    CounterRun runs[2] = {};
    DrawResources res[2] = {};
};

// The default picture without samples at the scale: a thin frame, grid lines of the scale's
// line width on cells of the scaled size, the row lines ending on the baseline and the column
// lines phase samples to the left of the right edge.
void ExpectScaledGrid(const Canvas& canvas, const Scale& s, int phase) {
    int f = s.line;
    int baseline = canvas.height - f - 1;
    int columnEnd = canvas.width - f - 1 - (phase * s.dpi + 48) / 96;
    for (int y = 0; y < canvas.height; y++) {
        for (int x = 0; x < canvas.width; x++) {
            bool frame = x < f || y < f || x >= canvas.width - f || y >= canvas.height - f;
            bool row = (baseline - y) % s.cell < s.line;
            bool column = (((columnEnd - x) % s.cell) + s.cell) % s.cell < s.line;
            COLORREF want = frame ? FrameGrey : (row || column) ? GridBlue : Black;
            ASSERT_EQ(canvas.At(x, y), want) << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST_P(Scaled, TheDefaultPictureKeepsThinSharpLinesOnScaledCells) {
    const Scale& s = GetParam();
    Build();
    EXPECT_EQ(res[0].BackWidth, s.cell);
    EXPECT_EQ(res[0].FrameWidth, s.line);
    Canvas canvas(MulDiv(142, s.dpi, 96), MulDiv(43, s.dpi, 96));
    ASSERT_EQ(PaintGraphs(canvas.bitmap, res, settings.Slot, nullptr, 2), 1);
    ExpectScaledGrid(canvas, s, 0);
    // The grid moves one 96-DPI column per sample, with the history.
    res[0].GridPhase = 3;
    ASSERT_EQ(PaintGraphs(canvas.bitmap, res, settings.Slot, nullptr, 2), 1);
    ExpectScaledGrid(canvas, s, 3);
}

TEST_P(Scaled, HistoryLinesStayThinAndBarsStandSideBySide) {
    const Scale& s = GetParam();
    Canvas canvas(MulDiv(142, s.dpi, 96), MulDiv(43, s.dpi, 96));
    int middle = canvas.width / 2;
    // A level line: as many rows as the line width, in every column.
    settings.Style[0].DrawFlag = HistLine | BackFill | FrameOn;
    settings.Style[0].ColHistPen = RGB(255, 0, 0);
    Build();
    Level(50);
    ASSERT_EQ(PaintGraphs(canvas.bitmap, res, settings.Slot, runs, 2), 1);
    int rows = 0;
    for (int y = 0; y < canvas.height; y++)
        rows += canvas.At(middle, y) == RGB(255, 0, 0);
    EXPECT_EQ(rows, s.line);
    // Filled and outlined: the outline as thick along the top, the fill alone below it, down
    // to the baseline.
    settings.Style[0].DrawFlag = HistLine | HistFill | BackFill | FrameOn;
    settings.Style[0].ColHistBrush = RGB(0, 255, 0);
    Build();
    ASSERT_EQ(PaintGraphs(canvas.bitmap, res, settings.Slot, runs, 2), 1);
    std::vector<COLORREF> column;
    for (int y = s.line; y < canvas.height - s.line; y++)
        column.push_back(canvas.At(middle, y));
    int top =
        static_cast<int>(std::find(column.begin(), column.end(), RGB(255, 0, 0)) - column.begin());
    ASSERT_LT(top, static_cast<int>(column.size()));
    for (int k = 0; k < static_cast<int>(column.size()); k++) {
        COLORREF want = k < top ? Black : k < top + s.line ? RGB(255, 0, 0) : RGB(0, 255, 0);
        ASSERT_EQ(column[k], want) << "row " << k + s.line;
    }
    // Bars: every column from the oldest sample's to the newest is covered, with no gap
    // between samples that stand more than one pixel apart.
    settings.Style[0].DrawFlag = HistFill | HistBars | BackFill | FrameOn;
    Build();
    ASSERT_EQ(PaintGraphs(canvas.bitmap, res, settings.Slot, runs, 2), 1);
    int baseline = canvas.height - s.line - 1;
    int first = s.line;
    while (first < canvas.width && canvas.At(first, baseline) != RGB(255, 0, 0))
        first++;
    EXPECT_LT(first, s.line + s.dpi / 96) << "the oldest sample is less than a column in";
    for (int x = first; x < canvas.width - s.line; x++)
        ASSERT_EQ(canvas.At(x, baseline), RGB(255, 0, 0)) << "column " << x;
}

TEST_P(Scaled, TheCaptionFontGrowsWithTheScale) {
    const Scale& s = GetParam();
    lstrcpyW(settings.Slot[0].Font, L"Arial");
    settings.Slot[0].FontHigh = -12;
    Build();
    LOGFONTW font = {};
    ASSERT_NE(res[0].Font, nullptr);
    ASSERT_TRUE(GetObjectW(res[0].Font, sizeof(font), &font));
    EXPECT_EQ(font.lfHeight, MulDiv(-12, s.dpi, 96));
    // Without a face the stock font is made again for the scale (the tests run at 96 DPI).
    settings.Slot[0].Font[0] = L'\0';
    Build();
    LOGFONTW stock = {};
    ASSERT_TRUE(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock));
    ASSERT_NE(res[0].Font, nullptr);
    ASSERT_TRUE(GetObjectW(res[0].Font, sizeof(font), &font));
    EXPECT_EQ(font.lfHeight, MulDiv(stock.lfHeight, s.dpi, 96));
}

// The caption's shadow stands a line width right of and below the glyphs: every shadow pixel
// has a glyph that far to its left or above it, and every glyph pixel covers those two places
// with glyph or shadow.
TEST_P(Scaled, TheCaptionShadowStandsALineWidthAway) {
    const Scale& s = GetParam();
    constexpr COLORREF Text = RGB(255, 255, 255), Shadow = RGB(255, 0, 255);
    settings.Style[0].DrawFlag = CaptionOn | CaptionClear | CaptionShadow;
    settings.Style[0].ColText = Text;
    settings.Style[0].ColShadow = Shadow;
    for (uint32_t align : {0u, static_cast<uint32_t>(PdhAlignRight)}) {
        SCOPED_TRACE(align ? "value at the right" : "one text");
        settings.Slot[0].PdhFlag = PdhUse | align;
        Build();
        Canvas canvas(MulDiv(142, s.dpi, 96), MulDiv(43, s.dpi, 96));
        ASSERT_EQ(PaintGraphs(canvas.bitmap, res, settings.Slot, runs, 2), 1);
        int d = s.line;
        auto is = [&](int x, int y, COLORREF c) {
            return x >= 0 && y >= 0 && x < canvas.width && y < canvas.height &&
                   canvas.At(x, y) == c;
        };
        int glyphs = 0, shadows = 0;
        for (int y = 0; y < canvas.height; y++) {
            for (int x = 0; x < canvas.width; x++) {
                if (is(x, y, Text)) {
                    glyphs++;
                    ASSERT_TRUE(is(x + d, y, Text) || is(x + d, y, Shadow)) << x << "," << y;
                    ASSERT_TRUE(is(x, y + d, Text) || is(x, y + d, Shadow)) << x << "," << y;
                } else if (is(x, y, Shadow)) {
                    shadows++;
                    ASSERT_TRUE(is(x - d, y, Text) || is(x, y - d, Text)) << x << "," << y;
                }
            }
        }
        EXPECT_GT(glyphs, 20);
        EXPECT_GT(shadows, 20);
    }
}

TEST_P(Scaled, TheTrayPictureIsDrawnAtTheTraySizeNotStretched) {
    const Scale& s = GetParam();
    int side = MulDiv(16, s.dpi, 96);
    settings.Style[0].IconDrawFlag = HistLine | BackFill | FrameOn;
    Build(true);
    Level(60);
    HICON icon = MakeTrayIcon(side, side, res, settings.Slot, runs, 2);
    ASSERT_NE(icon, nullptr);
    IconPixels picture(icon);
    DestroyIcon(icon);
    ASSERT_EQ(picture.width, side);
    for (int y = 0; y < side; y++) {
        for (int x = 0; x < side; x++)
            ASSERT_FALSE(picture.Clear(x, y)) << "opaque at " << x << "," << y;
    }
    // A frame of the line width: a stretched 16 x 16 picture would have a 1.5-pixel one.
    for (int i = 0; i < side; i++) {
        for (int k = 0; k < s.line; k++) {
            ASSERT_EQ(picture.Color(i, k), ColorPalette16[8]) << i << "," << k;
            ASSERT_EQ(picture.Color(k, i), ColorPalette16[8]) << k << "," << i;
        }
        if (i >= s.line && i < side - s.line) {
            ASSERT_NE(picture.Color(i, s.line), ColorPalette16[8]) << "inside at " << i;
        }
    }
    // The history line, one sample per 96-DPI column, s.line rows thick.
    int rows = 0;
    for (int y = 0; y < side; y++)
        rows += picture.Color(side / 2, y) == ColorPalette16[14];
    EXPECT_EQ(rows, s.line);
    // Without a painted background the next picture starts from black, not from this one.
    settings.Style[0].IconDrawFlag = FrameOn;
    Build(true);
    icon = MakeTrayIcon(side, side, res, settings.Slot, runs, 2);
    ASSERT_NE(icon, nullptr);
    IconPixels bare(icon);
    DestroyIcon(icon);
    for (int y = s.line; y < side - s.line; y++) {
        for (int x = s.line; x < side - s.line; x++)
            ASSERT_EQ(bare.Color(x, y), ColorPalette16[0]) << x << "," << y;
    }
    ReleaseTrayIconCanvas();
}

INSTANTIATE_TEST_SUITE_P(Dpi, Scaled, testing::ValuesIn(Scales),
                         [](const testing::TestParamInfo<Scale>& info) {
                             return std::to_string(info.param.dpi);
                         });

// The graph window meets scale changes as Windows sends them when it is dragged to another
// monitor and back.
class ScaleChange : public testing::Test {
protected:
    void SetUp() override {
        window = OpenGraphWindowWithFixedCounters();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { CloseGraphWindow(window); }
    // Sends the change to dpi with the rectangle Windows would suggest at (x, y).
    RECT ChangeTo(int dpi, int x, int y, int width, int height) {
        RECT suggested = {x, y, x + width, y + height};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        return suggested;
    }
    static SIZE SurfaceSize() {
        BITMAP bm = {};
        GetObjectW(TheApp.Surface, sizeof(bm), &bm);
        return {bm.bmWidth, bm.bmHeight};
    }
    HWND window = nullptr;
};

TEST_F(ScaleChange, TheWindowTakesTheSuggestedRectangleAndRedrawsForTheNewScale) {
    ASSERT_EQ(TheApp.Dpi, 96);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 142);
    HFONT fontAt96 = TheApp.GraphRes[0].Font;

    TheApp.GraphRes[0].GridPhase = 3; // three samples in
    RECT suggested = ChangeTo(144, 200, 100, 213, 65);
    GetWindowRect(window, &r);
    EXPECT_TRUE(EqualRect(&r, &suggested))
        << r.left << "," << r.top << " " << r.right << "," << r.bottom;
    EXPECT_EQ(SurfaceSize().cx, 213);
    EXPECT_EQ(SurfaceSize().cy, 65);
    EXPECT_EQ(TheApp.GraphRes[0].BackWidth, 15) << "the grid brush is made for 15-pixel cells";
    EXPECT_NE(TheApp.GraphRes[0].Font, fontAt96) << "the caption font is made for 144 DPI";
    EXPECT_NE(TheApp.GraphRes[0].GridBrush, nullptr);
    EXPECT_EQ(TheApp.GraphRes[0].GridPhase, 3) << "the grid stays with the history";
    // Limits, borders and snapping follow the scale.
    MINMAXINFO info = {};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxTrackSize.x, 375);
    EXPECT_EQ(info.ptMinTrackSize.y, 24);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(202, 130)), HTLEFT)
        << "a border of 3 pixels";
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SendMessageW(window, WM_ENTERSIZEMOVE, 0, 0);
    SendMessageW(window, WM_MOVING, 0, 0);
    SetWindowPos(window, nullptr, work.left + 14, work.top + 200, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, work.left) << "14 pixels from the edge is within 10 at 150 %";

    ChangeTo(96, 300, 100, 142, 43);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 142);
    EXPECT_EQ(r.bottom - r.top, 43);
    EXPECT_EQ(TheApp.GraphRes[0].BackWidth, 10);
    EXPECT_EQ(TheApp.GraphRes[0].Font, nullptr) << "the stock font again";
}

// A scale change to a rectangle of the same size brings no WM_SIZE: the window still paints its
// surface for the new scale at once, even with sampling stopped and no tick to redraw it.
TEST_F(ScaleChange, ARectangleOfTheSameSizeIsRedrawnForTheNewScale) {
    SendMessageW(window, WM_COMMAND, IDM_START, 0);
    ASSERT_EQ(TheApp.Query, nullptr) << "sampling stopped";
    auto pixel = [](int x, int y) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = SurfaceSize().cx;
        info.bmiHeader.biHeight = -SurfaceSize().cy;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        std::vector<DWORD> bits(static_cast<size_t>(SurfaceSize().cx * SurfaceSize().cy));
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, TheApp.Surface, 0, SurfaceSize().cy, bits.data(), &info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        DWORD p = bits[static_cast<size_t>(y * SurfaceSize().cx + x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    };
    ASSERT_NE(pixel(1, 1), FrameGrey) << "the frame is one pixel wide at 96 DPI";
    RECT r;
    GetWindowRect(window, &r);
    ChangeTo(192, r.left, r.top, r.right - r.left, r.bottom - r.top);
    EXPECT_EQ(SurfaceSize().cx, r.right - r.left) << "the same size";
    EXPECT_EQ(pixel(1, 1), FrameGrey) << "painted with the two-pixel frame of 192 DPI";
    ChangeTo(96, r.left, r.top, r.right - r.left, r.bottom - r.top);
    EXPECT_NE(pixel(1, 1), FrameGrey) << "and back";
}

TEST_F(ScaleChange, TheTrayIconFollowsTheTaskbarsSize) {
    ASSERT_TRUE(TheApp.RunFlag & TrayIcon);
    // As if the taskbar had been at 150 % until now, with a 24 x 24 icon.
    auto atOneAndAHalf = [] {
        TheApp.TrayDpi = 144;
        TheApp.TraySize = 24;
        for (DrawResources& res : TheApp.IconRes)
            res.Dpi = 144;
    };
    atOneAndAHalf();
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETICONMETRICS, 0);
    EXPECT_EQ(TheApp.TraySize, 16);
    EXPECT_EQ(TheApp.IconRes[0].Dpi, 96);
    EXPECT_EQ(IconPixels(TheApp.TrayImage).width, 16) << "a setting change makes the icon at once";
    // A redraw reads the taskbar's scale too, which may change after the messages that
    // announce it.
    atOneAndAHalf();
    SendMessageW(window, RedrawMsg, 0, 0);
    EXPECT_EQ(TheApp.TraySize, 16);
    EXPECT_EQ(TheApp.IconRes[0].Dpi, 96);
    EXPECT_EQ(IconPixels(TheApp.TrayImage).width, 16);
}

TEST_F(ScaleChange, AHundredChangesLeaveNoGdiObjectBehind) {
    // The tray picture is made at a new size each time too.
    auto round = [&] {
        TheApp.TrayDpi = 144;
        TheApp.TraySize = 24;
        ChangeTo(144, 200, 100, 213, 65); // reads the real taskbar: 16 x 16 again
        DestroyIcon(MakeTrayIcon(24, 24, TheApp.IconRes, TheApp.Settings.Slot, TheApp.Run, 2));
        ChangeTo(96, 200, 100, 142, 43);
        SendMessageW(window, RedrawMsg, 0, 0); // the tray picture back at 16 x 16
    };
    round();
    unsigned long before = LiveGdiObjects();
    for (int i = 0; i < 100; i++)
        round();
    EXPECT_EQ(LiveGdiObjects(), before);
}

TEST_F(ScaleChange, TheSizeIsSavedAt96DpiAndLoadsBackWithoutDrift) {
    ChangeTo(144, 200, 100, 215, 66); // a size the user dragged to at 150 %
    for (int round = 0; round < 3; round++) {
        DestroyWindow(window);
        PumpMessages();
        std::string saved = ReadFileBytes(SettingsPathBesideTests());
        EXPECT_NE(saved.find("WndWidth=143\r\n"), std::string::npos) << saved;
        EXPECT_NE(saved.find("WndHeight=44\r\n"), std::string::npos) << saved;
        // Loaded again at 96 DPI: the saved size as it is; then moved to a 150 % display,
        // which suggests that size scaled: the size the user left.
        window = CreateGraphWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
        PumpMessages();
        RECT r;
        GetWindowRect(window, &r);
        ASSERT_EQ(r.right - r.left, 143);
        ASSERT_EQ(r.bottom - r.top, 44);
        ChangeTo(144, 200, 100, MulDiv(143, 144, 96), MulDiv(44, 144, 96));
        GetWindowRect(window, &r);
        ASSERT_EQ(r.right - r.left, 215);
        ASSERT_EQ(r.bottom - r.top, 66);
    }
}

} // namespace
