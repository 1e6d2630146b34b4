// The graph painter drawing into 32-bit DIBs, checked pixel by pixel: grid, frame, history
// styles, latest column, captions.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "counters/counter_run.h"
#include "render/draw_resources_build.h"
#include "render/painter.h"
#include "settings/settings_schema.h"
#include "test_support.h"

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Magenta = RGB(255, 0, 255);
constexpr COLORREF Orange = RGB(255, 128, 0);

// The default window is 142 x 43 with a one-pixel frame: the plot is (1, 1, 141, 42), its
// baseline row 41 and its span 40 rows.
constexpr int DefaultWidth = 142;
constexpr int DefaultHeight = 43;
constexpr int Baseline = 41;

class Painter : public testing::Test {
protected:
    void SetUp() override {
        LoadSettingsRecords(nullptr, &settings, runs);
        for (CounterRun& run : runs) {
            ResetCounterRun(&run);
            run.Counter = this; // any non-null handle: the counter is open
        }
        Build();
    }

    void TearDown() override {
        for (DrawResources& r : res)
            FreeDrawResources(&r);
    }

    DrawStyle& Style(int k) { return settings.Style[k]; }

    // Makes the drawing resources from the styles, as a settings change does.
    void Build() {
        for (int k = 0; k < 2; k++)
            BuildGraphResources(&res[k], &settings.Style[k], &settings.Slot[k]);
    }

    // Graph 1 alone, drawn with flags over a plain background in a one-pixel frame.
    void GraphOneOnly(uint32_t flags) {
        settings.Slot[1].PdhFlag &= ~PdhUse;
        Style(0).DrawFlag = flags | BackFill | FrameOn;
        Build();
    }

    // A full ring of samples, the newest at index 255 and the last one Latest.
    void FillRing(int k, const std::function<int64_t(int)>& sampleOfAge) {
        for (int i = 0; i < HistorySize; i++)
            runs[k].History[i] = sampleOfAge(HistorySize - 1 - i);
        runs[k].RingIndex = HistorySize - 1;
        runs[k].Latest = runs[k].History[HistorySize - 1];
    }

    int Paint(const Canvas& canvas, bool withRuns = true) {
        return PaintGraphs(canvas.bitmap, res, settings.Slot, withRuns ? runs : nullptr, 2);
    }

    // The rows of column x, top to bottom, that have colour.
    static std::vector<int> RowsOf(const Canvas& canvas, int x, COLORREF colour) {
        std::vector<int> rows;
        for (int y = 0; y < canvas.height; y++) {
            if (canvas.At(x, y) == colour)
                rows.push_back(y);
        }
        return rows;
    }

    static std::vector<int> Range(int first, int last) {
        std::vector<int> v;
        for (int i = first; i <= last; i++)
            v.push_back(i);
        return v;
    }

    // Height of a caption line of the default caption font.
    static int DefaultLineHeight() {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW tm = {};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        DeleteDC(dc);
        return tm.tmHeight + tm.tmExternalLeading;
    }

    static int DefaultTextWidth(const wchar_t* text) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        SelectObject(dc, old);
        DeleteDC(dc);
        return size.cx;
    }

    SettingsRecords settings = {};
    CounterRun runs[2] = {};
    DrawResources res[2] = {};
};

// Every pixel of the default picture without graphs: the frame, then grid lines on the rows
// 1, 11, ..., 41 and on the columns of the given remainder of 10, the rest background.
void ExpectDefaultGrid(const Canvas& canvas, int lineColumnRemainder) {
    for (int y = 0; y < DefaultHeight; y++) {
        for (int x = 0; x < DefaultWidth; x++) {
            COLORREF want;
            if (x == 0 || y == 0 || x == DefaultWidth - 1 || y == DefaultHeight - 1)
                want = 0x808080;
            else if (y % 10 == 1 || x % 10 == lineColumnRemainder)
                want = 0xFF0000;
            else
                want = Black;
            ASSERT_EQ(canvas.At(x, y), want) << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST_F(Painter, DefaultPictureHasItsGridOnTheBaselineAndMovesItWithTheSamples) {
    Canvas canvas(DefaultWidth, DefaultHeight);
    ASSERT_EQ(Paint(canvas, false), 1);
    ExpectDefaultGrid(canvas, 0);

    res[0].GridPhase = 1; // one sample later
    ASSERT_EQ(Paint(canvas, false), 1);
    ExpectDefaultGrid(canvas, 9);
}

TEST_F(Painter, OpaqueCaptionBoxStartsInsideTheFrameAtThreeThree) {
    Style(0).DrawFlag &= ~CaptionClear;
    Style(0).ColShadow = Magenta;
    Build();
    Canvas canvas(DefaultWidth, DefaultHeight);
    Paint(canvas);
    EXPECT_EQ(canvas.At(3, 3), Magenta);
    EXPECT_NE(canvas.At(2, 3), Magenta);
    EXPECT_NE(canvas.At(3, 2), Magenta);
    int right = 3 + runs[0].TextWidth - 1;
    EXPECT_EQ(runs[0].TextWidth, DefaultTextWidth(L"CPU 0 %"));
    EXPECT_EQ(canvas.At(right, 3), Magenta);
    EXPECT_NE(canvas.At(right + 1, 3), Magenta);
    EXPECT_EQ(canvas.At(3, 3 + DefaultLineHeight() - 1), Magenta);
    EXPECT_NE(canvas.At(3, 3 + DefaultLineHeight()), Magenta);
}

TEST_F(Painter, ClearCaptionTouchesOnlyItsGlyphsAndTheirShadow) {
    for (bool shadow : {true, false}) {
        SCOPED_TRACE(shadow ? "with shadow" : "without shadow");
        Style(0).DrawFlag = shadow ? 0xCFFu : 0xCFFu & ~CaptionShadow;
        Style(0).ColShadow = Magenta;
        Style(0).ColText = RGB(255, 255, 255);
        Style(0).DrawFlag &= ~CaptionOn;
        Build();
        Canvas before(DefaultWidth, DefaultHeight);
        Paint(before);
        Style(0).DrawFlag |= CaptionOn;
        Build();
        Canvas after(DefaultWidth, DefaultHeight);
        Paint(after);

        auto isGlyph = [&](int x, int y) { return after.At(x, y) == RGB(255, 255, 255); };
        auto isShadow = [&](int x, int y) { return after.At(x, y) == Magenta; };
        int glyphs = 0, shadows = 0, left = DefaultWidth, top = DefaultHeight;
        for (int y = 0; y < DefaultHeight - 1; y++) {
            for (int x = 0; x < DefaultWidth - 1; x++) {
                if (isGlyph(x, y)) {
                    glyphs++;
                    left = x < left ? x : left;
                    top = y < top ? y : top;
                    if (shadow) {
                        EXPECT_TRUE(isGlyph(x + 1, y) || isShadow(x + 1, y)) << x << "," << y;
                        EXPECT_TRUE(isGlyph(x, y + 1) || isShadow(x, y + 1)) << x << "," << y;
                    }
                } else if (isShadow(x, y)) {
                    shadows++;
                    EXPECT_TRUE(shadow);
                    EXPECT_TRUE((x > 0 && isGlyph(x - 1, y)) || (y > 0 && isGlyph(x, y - 1)))
                        << x << "," << y;
                } else {
                    ASSERT_EQ(after.At(x, y), before.At(x, y)) << "untouched " << x << "," << y;
                }
            }
        }
        EXPECT_GT(glyphs, 20);
        EXPECT_EQ(shadows > 0, shadow);
        EXPECT_GE(left, 3);
        EXPECT_GE(top, 3);
    }
}

TEST_F(Painter, GraphTwoAloneKeepsTheSecondTextLine) {
    settings.Slot[0].PdhFlag &= ~PdhUse;
    settings.Slot[1].PdhFlag |= PdhUse;
    Style(1).DrawFlag = CaptionOn;
    Style(1).ColShadow = Magenta;
    Build();
    Canvas canvas(DefaultWidth, DefaultHeight);
    Paint(canvas);
    int line = DefaultLineHeight();
    EXPECT_TRUE(RowsOf(canvas, 3, Magenta).size() > 0);
    EXPECT_EQ(RowsOf(canvas, 3, Magenta).front(), 3 + line) << "the first line stays empty";
    EXPECT_EQ(runs[0].TextWidth, 0) << "graph 1 has no caption";
    EXPECT_EQ(runs[1].TextWidth, DefaultTextWidth(L"MEM 0 %"));
}

TEST_F(Painter, ClosedCounterShowsDashesAndNoGraph) {
    runs[0].Counter = nullptr;
    FillRing(0, [](int) { return 50; });
    Canvas canvas(DefaultWidth, DefaultHeight);
    Paint(canvas);
    EXPECT_EQ(runs[0].TextWidth, DefaultTextWidth(L"CPU --- %"));
    EXPECT_TRUE(RowsOf(canvas, 100, 0xFFFF00).empty()) << "no history";
}

// A counter that has stopped answering keeps its history on the graph, but its caption shows
// "---", not the last value as if it were current.
TEST_F(Painter, CounterNotAnsweringShowsDashesOverItsHistory) {
    FillRing(0, [](int) { return 50; });
    runs[0].Latest = 123456;
    runs[0].FailedReads = 1;
    Canvas canvas(DefaultWidth, DefaultHeight);
    Paint(canvas);
    EXPECT_EQ(runs[0].TextWidth, DefaultTextWidth(L"CPU --- %"));
    EXPECT_FALSE(RowsOf(canvas, 100, 0xFFFF00).empty()) << "the history stays";
}

TEST_F(Painter, RightAlignedValueKeepsItsRightEdgeAsTheTextWidthOnlyGrows) {
    settings.Slot[0].PdhFlag |= PdhAlignRight;
    Style(0).DrawFlag &= ~CaptionClear;
    Style(0).ColShadow = Magenta;
    Build();
    auto rightmost = [&](const Canvas& canvas) {
        for (int x = DefaultWidth - 2; x > 0; x--) {
            if (canvas.At(x, 5) == Magenta || canvas.At(x, 5) == RGB(255, 255, 255))
                return x;
        }
        return -1;
    };

    runs[0].Latest = 100;
    Canvas wide(DefaultWidth, DefaultHeight);
    Paint(wide);
    int width = runs[0].TextWidth;
    EXPECT_EQ(width, DefaultTextWidth(L"CPU 100 %"));
    EXPECT_EQ(rightmost(wide), 3 + width - 1);

    runs[0].Latest = 5;
    Canvas narrow(DefaultWidth, DefaultHeight);
    Paint(narrow);
    EXPECT_EQ(runs[0].TextWidth, width) << "the caption width never shrinks";
    EXPECT_EQ(rightmost(narrow), 3 + width - 1) << "the value stays right-aligned";
    EXPECT_EQ(narrow.At(3, 5), Magenta) << "the title stays at the left";
    int gap = 3 + DefaultTextWidth(L"CPU ") + 1;
    EXPECT_NE(narrow.At(gap, 5), Magenta) << "nothing is painted between title and value";
}

// The ring: the older 128 samples 25 (row 31), the newer 128 samples 75 (row 11); the plot
// shows the newest 140, columns 1 to 70 at 25 and 71 to 140 at 75.
int64_t StepSample(int age) {
    return age < 128 ? 75 : 25;
}

TEST_F(Painter, HistoryStylesLandOnTheScaledRows) {
    struct Case {
        const char* name;
        uint32_t flags;
        int column;
        COLORREF colour;
        std::vector<int> rows;
    };
    const COLORREF pen = Red, brush = Green;
    const std::vector<Case> cases = {
        {"line, older part", HistLine, 10, pen, {31}},
        {"line, newer part", HistLine, 100, pen, {11}},
        {"fill without line", HistFill, 10, brush, Range(31, Baseline)},
        {"fill outline", HistFill | HistLine, 10, pen, {31}},
        {"fill inside", HistFill | HistLine, 100, brush, Range(12, Baseline)},
        {"bars", HistBars | HistFill, 10, pen, Range(31, Baseline)},
        {"bars, newest column", HistBars | HistFill, 140, pen, Range(11, Baseline)},
        {"bars need the fill bit", HistBars | HistLine, 10, pen, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Style(0).ColHistPen = pen;
        Style(0).ColHistBrush = brush;
        GraphOneOnly(c.flags);
        FillRing(0, StepSample);
        Canvas canvas(DefaultWidth, DefaultHeight);
        Paint(canvas);
        EXPECT_EQ(RowsOf(canvas, c.column, c.colour), c.rows);
    }
}

TEST_F(Painter, LatestColumnIsCutToThePlotAndSharesItsFirstColumnWithTheHistory) {
    // Bars at 50 (row 21) and the newest sample 10 (row 37); the latest value 80 tops its
    // column at row 9. The newest sample shares its column with the latest column's first.
    struct Case {
        int lastWidth;
        int newestBar;   // the rightmost column still showing a bar
        int barTop;      // the top row of that bar: 37 when it is the newest sample's
        int firstLatest; // the latest column's first column, or 0 for none
    };
    const Case cases[] = {{0, 140, 37, 0}, {1, 139, 21, 140}, {5, 135, 21, 136}, {500, 0, 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "LastWidth " << c.lastWidth);
        Style(0).LastWidth = c.lastWidth;
        Style(0).ColHistPen = Orange;
        Style(0).ColLastPen = Red;
        Style(0).ColLastBrush = Green;
        GraphOneOnly(HistBars | HistFill | LastLine | LastFill);
        FillRing(0, [](int age) { return age == 0 ? 10 : 50; });
        runs[0].Latest = 80;
        Canvas canvas(DefaultWidth, DefaultHeight);
        Paint(canvas);
        // Every paint releases what it made, the latest column's brush and pen included.
        unsigned long objects = LiveGdiObjects();
        for (int i = 0; i < 20; i++)
            Paint(canvas);
        EXPECT_EQ(LiveGdiObjects(), objects);
        if (c.newestBar) {
            EXPECT_EQ(RowsOf(canvas, c.newestBar, Orange), Range(c.barTop, Baseline));
        } else {
            for (int x = 1; x <= 140; x++)
                ASSERT_TRUE(RowsOf(canvas, x, Orange).empty()) << "no history at " << x;
        }
        if (c.firstLatest) {
            for (int x : {c.firstLatest, 140}) {
                EXPECT_EQ(RowsOf(canvas, x, Red), std::vector<int>{9}) << "column " << x;
                EXPECT_EQ(RowsOf(canvas, x, Green), Range(10, Baseline)) << "column " << x;
            }
            EXPECT_TRUE(RowsOf(canvas, c.firstLatest - 1, Green).empty());
        } else {
            EXPECT_TRUE(RowsOf(canvas, 140, Green).empty());
        }
    }
}

TEST_F(Painter, HistoryUsesAtMostTheRightmost250Columns) {
    Style(0).ColHistPen = Orange;
    GraphOneOnly(HistBars | HistFill);
    FillRing(0, [](int) { return 50; });
    Canvas canvas(300, DefaultHeight);
    Paint(canvas);
    // The plot is 1 .. 298; the history 49 .. 298.
    EXPECT_TRUE(RowsOf(canvas, 48, Orange).empty());
    EXPECT_EQ(RowsOf(canvas, 49, Orange), Range(21, Baseline));
    EXPECT_EQ(RowsOf(canvas, 298, Orange), Range(21, Baseline));
}

TEST_F(Painter, FrameWidthSetsTheInsetAndTheBorder) {
    struct Case {
        uint32_t frameOn;
        int frameWidth;
        int inset;
    };
    const Case cases[] = {{FrameOn, 1, 1}, {FrameOn, 3, 3}, {FrameOn, 0, 1}, {0, 3, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "FrameOn " << !!c.frameOn << " width " << c.frameWidth);
        Style(0).DrawFlag = BackFill | c.frameOn;
        Style(0).FrameWidth = c.frameWidth;
        Style(0).ColBackBrush = Green;
        Build();
        Canvas canvas(60, 30, Magenta);
        Paint(canvas, false);
        // Inside the inset: the plain background; the columns of the inset: the frame.
        EXPECT_EQ(canvas.At(c.inset, c.inset), Green);
        EXPECT_EQ(canvas.At(59 - c.inset, 29 - c.inset), Green);
        if (c.inset == 0)
            continue;
        EXPECT_NE(canvas.At(c.inset - 1, 15), Green);
        if (c.frameWidth != 0) {
            for (int i = 0; i < c.inset; i++) {
                EXPECT_EQ(canvas.At(i, 15), 0x808080u) << i;
                EXPECT_EQ(canvas.At(59 - i, 15), 0x808080u) << i;
                EXPECT_EQ(canvas.At(30, i), 0x808080u) << i;
                EXPECT_EQ(canvas.At(30, 29 - i), 0x808080u) << i;
            }
        } else {
            // A sunken edge: shadow on the top and left, highlight on the bottom and right.
            COLORREF dark = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
            EXPECT_EQ(canvas.At(0, 15), dark);
            EXPECT_EQ(canvas.At(30, 0), dark);
            EXPECT_EQ(canvas.At(59, 15), light);
            EXPECT_EQ(canvas.At(30, 29), light);
        }
    }
}

TEST_F(Painter, WithoutBackgroundFillEarlierPixelsStay) {
    Style(0).DrawFlag &= ~BackFill;
    Build();
    EXPECT_EQ(res[0].GridBrush, nullptr);
    Canvas canvas(DefaultWidth, DefaultHeight, Magenta);
    Paint(canvas, false);
    EXPECT_EQ(canvas.At(50, 20), Magenta);
    EXPECT_EQ(canvas.At(0, 0), 0x808080u) << "the frame is still drawn";
}

TEST_F(Painter, PictureWithoutPlotGetsOnlyItsFrame) {
    FillRing(0, [](int) { return 50; });
    Canvas canvas(2, 2, Magenta);
    EXPECT_EQ(Paint(canvas), 1);
    for (int y = 0; y < 2; y++) {
        for (int x = 0; x < 2; x++)
            EXPECT_EQ(canvas.At(x, y), 0x808080u);
    }
    EXPECT_EQ(runs[0].TextWidth, 0) << "no caption without a plot";
}

TEST_F(Painter, MissingInputsDrawNothing) {
    Canvas canvas(DefaultWidth, DefaultHeight, Magenta);
    EXPECT_EQ(PaintGraphs(nullptr, res, settings.Slot, runs, 2), 0);
    EXPECT_EQ(PaintGraphs(canvas.bitmap, nullptr, settings.Slot, runs, 2), 0);
    EXPECT_EQ(PaintGraphs(canvas.bitmap, res, nullptr, runs, 2), 0);
    EXPECT_EQ(canvas.At(0, 0), Magenta);
}

} // namespace
