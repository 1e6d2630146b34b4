// Display-scale arithmetic: sizes to and from 96 DPI, thin lines, the time axis of the history
// and the hit-test bands at a scale.
#include <algorithm>

#include <gtest/gtest.h>

#include "counters/counter_run.h"
#include "render/dpi_math.h"
#include "render/value_scale.h"
#include "window/frame_math.h"

namespace {

TEST(DpiMath, SizesScaleAsMulDivRoundsThem) {
    struct Case {
        int32_t value, dpi, scaled;
    };
    const Case cases[] = {
        {142, 96, 142},
        {142, 144, 213},
        {43, 144, 65},
        {142, 192, 284},
        {43, 192, 86},
        {10, 144, 15},
        {10, 120, 13},
        {1, 144, 2},
        {3, 144, 5},
        {-13, 144, -20},
        {-11, 120, -14},
        {250, 144, 375},
        {7, 0, 7},
        {7, -96, 7},
        {0, 144, 0},
        {INT32_MAX, 192, INT32_MAX},
        {INT32_MIN, 192, INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
    EXPECT_EQ(ScaleFromDpi(213, 144), 142);
    EXPECT_EQ(ScaleFromDpi(214, 144), 143);
    EXPECT_EQ(ScaleFromDpi(86, 192), 43);
    EXPECT_EQ(ScaleFromDpi(-20, 144), -13);
}

TEST(DpiMath, ASizeSavedAndLoadedAgainNeverDrifts) {
    for (int32_t dpi : {96, 120, 144, 168, 192, 216, 240, 288, 384}) {
        for (int32_t size = -300; size <= 4000; size++) {
            int32_t pixels = ScaleToDpi(size, dpi);
            ASSERT_EQ(ScaleFromDpi(pixels, dpi), size) << size << " at " << dpi;
            // A size the user dragged to is saved once and stays where the load puts it.
            int32_t saved = ScaleFromDpi(size, dpi);
            int32_t loaded = ScaleToDpi(saved, dpi);
            ASSERT_EQ(ScaleFromDpi(loaded, dpi), saved) << size << " at " << dpi;
        }
    }
}

TEST(DpiMath, ThinLinesWidenByTheWholeFactorOnly) {
    const int32_t dpis[] = {0, 96, 120, 144, 191, 192, 240, 287, 288, 480};
    const int32_t widths[] = {1, 1, 1, 1, 1, 2, 2, 2, 3, 5};
    for (size_t i = 0; i < std::size(dpis); i++)
        EXPECT_EQ(LineWidthAt(dpis[i]), widths[i]) << dpis[i];
}

TEST(DpiMath, OneSampleTakesOne96DpiColumnAtEveryScale) {
    int64_t ring[HistorySize];
    for (int i = 0; i < HistorySize; i++)
        ring[i] = i;
    struct Case {
        int32_t dpi, width, count;
    };
    // 140 samples fill 210 pixels at 150 % and 280 at 200 %; the 141st needs one pixel more.
    const Case cases[] = {{96, 140, 140},  {144, 210, 140}, {144, 211, 141},
                          {144, 212, 141}, {192, 280, 140}, {192, 281, 141},
                          {120, 175, 140}, {144, 1, 1},     {192, 1000, HistorySize}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " pixels at " << c.dpi);
        const PixelRect rect = {10, 0, 10 + c.width, 257}; // span 256: y = 256 - value
        PixelPoint points[HistorySize];
        int count = ScaleHistory(points, &rect, ring, HistorySize, 200, 256, 0, c.dpi);
        ASSERT_EQ(count, c.count);
        ASSERT_EQ(points[count - 1].x, rect.right - 1) << "the newest is in the last column";
        ASSERT_GE(points[0].x, rect.left) << "the oldest is inside";
        for (int i = 0; i < count; i++) {
            int samplesBefore = count - 1 - i;
            ASSERT_EQ(points[i].x, rect.right - 1 - ScaleToDpi(samplesBefore, c.dpi));
            ASSERT_EQ(points[i].y, 256 - (200 - samplesBefore + HistorySize) % HistorySize);
        }
    }
}

TEST(DpiMath, GridFittingLeavesRoomForAWholeRowLine) {
    // 200 %: a 2-pixel frame, 20-pixel cells and 2-pixel lines. The plot is two rows more
    // than whole cells, so that the top row line shows both its rows.
    const GridFit grid = {true, 2, 0, 20, 20, 2};
    WindowBox box = {0, 0, 292, 95};
    FitToGrid(&box, EdgeBottomRight, &grid);
    EXPECT_EQ(box.cx, 284); // 292 - 4 = 288 → 280
    EXPECT_EQ(box.cy, 86);  // 95 - 4 - 2 = 89 → 80
}

TEST(DpiMath, SizingBordersAndCornersScale) {
    // A 213 x 65 window at 150 %: borders of 3 pixels, corners of 9.
    const PixelRect r = {100, 200, 313, 265};
    struct Case {
        int32_t x, y;
        int code;
    };
    const Case cases[] = {
        {102, 230, HitLeft},    {103, 230, HitCaption},     {310, 230, HitRight},
        {309, 230, HitCaption}, {200, 202, HitTop},         {200, 262, HitBottom},
        {108, 202, HitTopLeft}, {109, 202, HitTop},         {102, 208, HitTopLeft},
        {102, 209, HitLeft},    {304, 264, HitBottomRight}, {303, 264, HitBottom},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTestRect(&r, c.x, c.y, ScaleToDpi(2, 144), ScaleToDpi(6, 144)), c.code)
            << c.x << "," << c.y;
    // A window too small for two borders of 3 splits in halves.
    const PixelRect tiny = {0, 0, 5, 40};
    EXPECT_EQ(HitTestRect(&tiny, 2, 20, 3, 9), HitLeft);
    EXPECT_EQ(HitTestRect(&tiny, 3, 20, 3, 9), HitRight);
}

} // namespace
