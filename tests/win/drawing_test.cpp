// Drawing resources, the surface and blank bitmaps, the tray icon's picture and mask, and
// the GDI objects of a long run of paints.
#include <gtest/gtest.h>
#include <windows.h>

#include "counters/counter_run.h"
#include "render/draw_resources_build.h"
#include "render/painter.h"
#include "render/surface.h"
#include "render/tray_picture.h"
#include "settings/settings_schema.h"
#include "test_support.h"

namespace {

constexpr COLORREF Lines = RGB(255, 255, 255);
constexpr COLORREF Plain = RGB(0, 0, 0);

// Fills a canvas with brush from origin (0, 0), line pixels white and the rest black.
void FillWithPattern(const Canvas& canvas, HBRUSH brush) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas.bitmap);
    SetTextColor(dc, Plain);
    SetBkColor(dc, Lines);
    RECT all = {0, 0, canvas.width, canvas.height};
    FillRect(dc, &all, brush);
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST(GridBrush, PatternHasATopLineAndALeftLine) {
    struct Case {
        int width, height;
        uint32_t flags;
        bool rowLines, columnLines;
    };
    const Case cases[] = {
        {10, 10, BackLines, true, true}, {1, 10, BackLines, true, true},
        {7, 3, BackLines, true, true},   {10, 10, 0, false, false},
        {0, 10, BackLines, true, false}, {10, -4, BackLines, false, true},
        {0, 0, BackLines, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " flags " << c.flags);
        HBRUSH brush = CreateGridBrush(c.width, c.height, c.flags);
        ASSERT_NE(brush, nullptr);
        Canvas canvas(30, 30);
        FillWithPattern(canvas, brush);
        DeleteObject(brush);
        for (int y = 0; y < 30; y++) {
            for (int x = 0; x < 30; x++) {
                bool line =
                    (c.rowLines && y % c.height == 0) || (c.columnLines && x % c.width == 0);
                ASSERT_EQ(canvas.At(x, y), line ? Lines : Plain) << x << "," << y;
            }
        }
    }
}

class Resources : public testing::Test {
protected:
    void SetUp() override { LoadSettingsRecords(nullptr, &settings, runs); }
    void TearDown() override { FreeDrawResources(&res); }
    SettingsRecords settings = {};
    CounterRun runs[2] = {};
    DrawResources res = {};
};

TEST_F(Resources, GraphSetCopiesTheStyleAndOwnsItsBrushAndFont) {
    DrawStyle& style = settings.Style[0];
    res.GridPhase = 7;
    BuildGraphResources(&res, &style, &settings.Slot[0]);
    EXPECT_EQ(res.DrawFlag, style.DrawFlag);
    EXPECT_EQ(res.ColBackPen, style.ColBackPen);
    EXPECT_EQ(res.ColFrame, style.ColFrame);
    EXPECT_EQ(res.BackWidth, 10);
    EXPECT_EQ(res.GridPhase, 0) << "a rebuild puts the grid back at rest";
    EXPECT_NE(res.GridBrush, nullptr);
    EXPECT_EQ(res.Font, nullptr) << "no face name: the stock font";

    style.DrawFlag &= ~BackFill;
    BuildGraphResources(&res, &style, nullptr);
    EXPECT_EQ(res.GridBrush, nullptr);

    FreeDrawResources(&res);
    EXPECT_EQ(res.GridBrush, nullptr);
    EXPECT_EQ(res.Font, nullptr);
}

TEST_F(Resources, CaptionFontFollowsTheFontKeys) {
    struct Case {
        uint32_t fontType;
        LONG weight;
        BYTE italic;
    };
    const Case cases[] = {{0x300, 700, 1}, {0x400, 400, 0}, {0x200, 0, 1}, {0, 0, 0}};
    CounterSlot& slot = settings.Slot[0];
    lstrcpyW(slot.Font, L"Tahoma");
    slot.FontHigh = -13;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "FontType " << c.fontType);
        slot.FontType = c.fontType;
        BuildGraphResources(&res, &settings.Style[0], &slot);
        ASSERT_NE(res.Font, nullptr);
        LOGFONTW font = {};
        ASSERT_EQ(GetObjectW(res.Font, sizeof(font), &font), static_cast<int>(sizeof(font)));
        EXPECT_EQ(font.lfHeight, -13);
        EXPECT_EQ(font.lfWeight, c.weight);
        EXPECT_EQ(font.lfItalic, c.italic);
        EXPECT_STREQ(font.lfFaceName, L"Tahoma");
    }
}

TEST_F(Resources, IconSetTakesItsColoursFromThePalette) {
    DrawStyle& style = settings.Style[0];
    style.ColorFlag = 0x0FEDCBA9; // nibbles 9, A, B, C, D, E, F; the top one unused
    BuildIconResources(&res, &style);
    EXPECT_EQ(res.DrawFlag, style.IconDrawFlag);
    EXPECT_EQ(res.ColLastPen, 0x0000FFu);
    EXPECT_EQ(res.ColLastBrush, 0x00FF00u);
    EXPECT_EQ(res.ColHistPen, 0x00FFFFu);
    EXPECT_EQ(res.ColHistBrush, 0xFF0000u);
    EXPECT_EQ(res.ColBackPen, 0xFF00FFu);
    EXPECT_EQ(res.ColBackBrush, 0xFFFF00u);
    EXPECT_EQ(res.ColFrame, 0xFFFFFFu);
    EXPECT_EQ(res.ColText, 0u);
    EXPECT_EQ(res.ColShadow, 0u);
    EXPECT_EQ(res.BackWidth, style.IconBackWidth);
    EXPECT_EQ(res.FrameWidth, style.IconFrameWidth);
    EXPECT_NE(res.GridBrush, nullptr);
    EXPECT_EQ(res.Font, nullptr);
}

TEST(Bitmaps, SurfaceIsABottomUpDibFilledWithItsColour) {
    void* bits = nullptr;
    HBITMAP surface = CreateSurface(nullptr, 20, 10, 32, &bits, RGB(1, 2, 3));
    ASSERT_NE(surface, nullptr);
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectW(surface, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBmih.biHeight, 10) << "bottom-up rows";
    EXPECT_EQ(dib.dsBm.bmBits, bits);
    GdiFlush();
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < 200; i++)
        ASSERT_EQ(pixels[i] & 0xFFFFFF, 0x010203u) << i;
    DeleteObject(surface);

    // A fill with a top byte set leaves the pixels as they were made.
    surface = CreateSurface(nullptr, 20, 10, 32, &bits, SurfaceNoFill | RGB(1, 2, 3));
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(static_cast<const uint32_t*>(bits)[0], 0u);
    DeleteObject(surface);
}

TEST(Bitmaps, BlankBitmapTakesPaletteEntryZero) {
    COLORREF palette[256] = {RGB(10, 200, 30)};
    for (int depth : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(testing::Message() << "depth " << depth);
        HBITMAP bitmap = CreateBlankBitmap(nullptr, 9, 5, depth, palette);
        ASSERT_NE(bitmap, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        // Without a colour table the pixels are black; with one, entry 0.
        COLORREF want = depth <= 8 ? RGB(10, 200, 30) : RGB(0, 0, 0);
        EXPECT_EQ(GetPixel(dc, 0, 0), want);
        EXPECT_EQ(GetPixel(dc, 8, 4), want);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    EXPECT_EQ(CreateBlankBitmap(nullptr, 9, 5, 2, palette), nullptr);
    EXPECT_EQ(CreateBlankBitmap(nullptr, 0, 5, 4, palette), nullptr);
    EXPECT_EQ(CreateBlankBitmap(nullptr, 9, -1, 4, palette), nullptr);
}

class TrayPicture : public Resources {
protected:
    void SetUp() override {
        Resources::SetUp();
        for (CounterRun& run : runs) {
            ResetCounterRun(&run);
            run.Counter = this;
        }
        for (int i = 0; i < HistorySize; i++)
            runs[0].History[i] = 60;
        runs[0].RingIndex = HistorySize - 1;
        runs[0].Latest = 60;
    }
    void TearDown() override {
        for (DrawResources& r : icon)
            FreeDrawResources(&r);
        Resources::TearDown();
    }
    void Build() {
        for (int k = 0; k < 2; k++)
            BuildIconResources(&icon[k], &settings.Style[k]);
    }
    DrawResources icon[2] = {};
};

TEST_F(TrayPicture, IconIsTransparentExactlyWhereItHasTheBackgroundColour) {
    // Default colours: background 0 (black), lines 12, history 14, frame 8; and a silver
    // background, index 7.
    for (uint32_t background : {0u, 7u}) {
        SCOPED_TRACE(testing::Message() << "background index " << background);
        settings.Style[0].IconDrawFlag |= IconBackClear;
        settings.Style[0].ColorFlag =
            (settings.Style[0].ColorFlag & ~0xF00000u) | (background << 20);
        Build();
        HICON handle = MakeTrayIcon(16, 16, icon, settings.Slot, runs, 2);
        ASSERT_NE(handle, nullptr);
        IconPixels picture(handle);
        DestroyIcon(handle);
        ASSERT_TRUE(picture.ok);
        EXPECT_EQ(picture.width, 16);
        EXPECT_EQ(picture.height, 16);
        int clear = 0;
        for (int y = 0; y < 16; y++) {
            for (int x = 0; x < 16; x++) {
                bool isBackground = picture.Color(x, y) == ColorPalette16[background];
                ASSERT_EQ(picture.Clear(x, y), isBackground) << x << "," << y;
                clear += isBackground;
            }
        }
        EXPECT_GT(clear, 0);
        EXPECT_EQ(picture.Color(0, 0), ColorPalette16[8]) << "the frame";
        EXPECT_EQ(picture.Color(7, 14), ColorPalette16[14]) << "the history";
    }
}

TEST_F(TrayPicture, IconWithoutClearBackgroundIsOpaqueAndStartsEmpty) {
    Build();
    HICON handle = MakeTrayIcon(16, 16, icon, settings.Slot, nullptr, 2);
    ASSERT_NE(handle, nullptr);
    IconPixels picture(handle);
    DestroyIcon(handle);
    ASSERT_TRUE(picture.ok);
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            ASSERT_FALSE(picture.Clear(x, y)) << x << "," << y;
            // Nothing measured yet: frame, grid and background only.
            COLORREF c = picture.Color(x, y);
            bool border = x == 0 || y == 0 || x == 15 || y == 15;
            if (border)
                ASSERT_EQ(c, ColorPalette16[8]) << x << "," << y;
            else
                ASSERT_TRUE(c == ColorPalette16[0] || c == ColorPalette16[12]) << x << "," << y;
        }
    }
}

TEST_F(TrayPicture, ThousandsOfPaintsAndIconsLeaveNoGdiObjectBehind) {
    settings.Slot[1].PdhFlag |= PdhUse;
    DrawResources window[2] = {};
    for (int k = 0; k < 2; k++)
        BuildGraphResources(&window[k], &settings.Style[k], &settings.Slot[k]);
    // Every step of the painter: clear captions with shadow on graph 1, opaque on graph 2.
    window[1].DrawFlag = 0xFFF & ~CaptionClear;
    settings.Style[0].IconDrawFlag |= IconBackClear;
    Build();
    Canvas canvas(142, 43);

    auto round = [&](int i) {
        runs[0].Latest = i % 120;
        StoreSample(&runs[0], i % 120);
        StoreSample(&runs[1], (i * 7) % 100);
        PaintGraphs(canvas.bitmap, window, settings.Slot, runs, 2);
        HICON handle = MakeTrayIcon(16, 16, icon, settings.Slot, runs, 2);
        ASSERT_NE(handle, nullptr);
        DestroyIcon(handle);
    };
    for (int i = 0; i < 50; i++)
        round(i); // warm-up: stock objects and caches made once
    unsigned long before = LiveGdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 3000; i++)
        round(i);
    EXPECT_EQ(LiveGdiObjects(), before);
    for (DrawResources& r : window)
        FreeDrawResources(&r);
}

} // namespace
