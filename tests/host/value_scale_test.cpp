// Value scaling: the rounding bias, the history points and the top row of the latest column.
#include <algorithm>
#include <cstdint>

#include <gtest/gtest.h>

#include "counters/counter_run.h"
#include "render/value_scale.h"

namespace {

constexpr uint32_t Truncate = 0;
constexpr uint32_t Half = DrawRoundHalf;
constexpr uint32_t Up = DrawRoundUp;
constexpr PixelPoint Untouched = {-7777, -7777};

// Room for more points than the ring holds, so that writes past the count show up.
struct PointBuffer {
    PixelPoint points[HistorySize + 8];
    PointBuffer() { std::fill(std::begin(points), std::end(points), Untouched); }
    bool UntouchedFrom(int first) const {
        return std::all_of(points + first, std::end(points), [](const PixelPoint& p) {
            return p.x == Untouched.x && p.y == Untouched.y;
        });
    }
};

// A ring with every entry at -1, the mark of an entry that has held no sample.
struct Ring {
    int64_t entries[HistorySize];
    Ring() { std::fill(std::begin(entries), std::end(entries), -1); }
};

TEST(ValueScale, RoundingBiasFollowsTheRoundMode) {
    // 0xCFF is a DrawFlag with every bit but the round mode set.
    // clang-format off
    struct Case { uint32_t drawFlag; int64_t valMax; int64_t span; int64_t bias; } cases[] = {
        {Truncate, 1000, 9, 0}, {Half, 1000, 9, 55}, {Up, 1000, 9, 110}, {Half | Up, 1000, 9, 55},
        {Half, 100, 10, 5}, {Up, 100, 10, 9}, {Up, 5, 49, 0}, {0xCFF, 1000, 9, 0},
        {0xCFF | Up, 1000, 9, 110}, {Truncate, 1000, 0, 0}, {Half, 1000, 0, 0}, {Up, 1000, 0, 0}};
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(RoundingBias(c.drawFlag, c.valMax, c.span), c.bias)
            << std::hex << c.drawFlag << std::dec << " " << c.valMax << "/" << c.span;
}

TEST(ValueScale, SampleRowsFollowTheRoundModeInBothScalers) {
    // clang-format off
    struct Case { int64_t valMax; int32_t top, bottom; uint32_t flag; int64_t sample;
                  int32_t rowsAboveBaseline; } cases[] = {
        {1000, 0, 10, Truncate, 500, 4}, {1000, 0, 10, Half, 500, 4}, {1000, 0, 10, Up, 500, 5},
        {1000, 0, 10, Half | Up, 500, 4}, {1000, 0, 10, Truncate, 550, 4},
        {1000, 0, 10, Half, 550, 5}, {1000, 0, 10, Up, 550, 5}, {1000, 0, 10, Truncate, 100, 0},
        {1000, 0, 10, Half, 100, 1}, {1000, 0, 10, Up, 100, 1}, {1000, 0, 10, Truncate, 999, 8},
        {1000, 0, 10, Half, 999, 9}, {1000, 0, 10, Up, 999, 9}, {1000, 0, 10, Truncate, 1000, 9},
        {1000, 0, 10, Half, 1000, 9}, {1000, 0, 10, Up, 5000, 9}, {1000, 0, 10, Up, 0, 0},
        {1000, 20, 30, Up, 500, 5}, {1000, 20, 30, Truncate, 1000, 9},
        {5, 0, 50, Truncate, 0, 0}, {5, 0, 50, Truncate, 1, 9}, {5, 0, 50, Truncate, 2, 19},
        {5, 0, 50, Truncate, 3, 29}, {5, 0, 50, Truncate, 4, 39}, {5, 0, 50, Truncate, 5, 49}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "max " << c.valMax << " rows " << c.top << "-" << c.bottom << " flag "
                     << std::hex << c.flag << std::dec << " sample " << c.sample);
        const PixelRect rect = {0, c.top, 1, c.bottom};
        int64_t bias = RoundingBias(c.flag, c.valMax, c.bottom - c.top - 1);
        int32_t row = c.bottom - 1 - c.rowsAboveBaseline;
        EXPECT_EQ(ScaleLatest(c.sample, bias, &rect, c.valMax), row);

        Ring ring;
        ring.entries[0] = c.sample;
        PointBuffer out;
        ASSERT_EQ(ScaleHistory(out.points, &rect, ring.entries, HistorySize, 0, c.valMax, bias), 1);
        EXPECT_EQ(out.points[0].x, 0);
        EXPECT_EQ(out.points[0].y, row);
    }
}

TEST(ValueScale, HistoryTakesTheNewestSamplesOldestLeftmost) {
    // With span == valMax every entry lands on its own row: y = 999 - entry.
    Ring ring;
    for (int i = 0; i < HistorySize; i++)
        ring.entries[i] = i + 1;
    // clang-format off
    struct Case { int32_t ringIndex; int32_t width; } cases[] = {
        {200, 50}, {49, 50}, {10, 50}, {255, 256}, {0, 256}, {100, 300}, {7, 1}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "index " << c.ringIndex << " width " << c.width);
        const PixelRect rect = {40, 0, 40 + c.width, 1001};
        PointBuffer out;
        int count =
            ScaleHistory(out.points, &rect, ring.entries, HistorySize, c.ringIndex, 1000, 0);
        ASSERT_EQ(count, std::min(c.width, HistorySize));
        int first = (c.ringIndex - count + 1 + HistorySize) % HistorySize;
        for (int i = 0; i < count; i++) {
            ASSERT_EQ(out.points[i].x, rect.right - count + i) << "point " << i;
            ASSERT_EQ(out.points[i].y, 999 - (first + i) % HistorySize) << "point " << i;
        }
        EXPECT_TRUE(out.UntouchedFrom(count));
    }
}

TEST(ValueScale, OnlyTheOlderSegmentHoldsEmptyEntriesBelowThePlot) {
    // Span 9, baseline 9, bottom 10: negatives of the older segment go to row 10 and 0 to the
    // baseline; anywhere else negatives scale to rows under the baseline.
    const PixelRect rect = {0, 0, 7, 10};
    // clang-format off
    struct Case { int32_t ringIndex; int64_t samples[7]; int32_t rows[7]; } cases[] = {
        // Wrapped: entries 252-255 are the older segment, 0-2 the newer one.
        {2, {-1, 0, -100000, 500, -100000, -500, -1}, {10, 9, 10, 5, 909, 13, 9}},
        {200, {-1, 0, -100000, 500, -100000, -500, 1000}, {9, 9, 909, 5, 909, 13, 0}}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ringIndex);
        Ring ring;
        for (int i = 0; i < 7; i++) // oldest first, the newest at ringIndex
            ring.entries[(c.ringIndex - 6 + i + HistorySize) % HistorySize] = c.samples[i];
        PointBuffer out;
        ASSERT_EQ(ScaleHistory(out.points, &rect, ring.entries, HistorySize, c.ringIndex, 1000, 0),
                  7);
        for (int i = 0; i < 7; i++)
            EXPECT_EQ(out.points[i].y, c.rows[i]) << "point " << i;
    }
}

TEST(ValueScale, FreshRingShowsOnlyTheBaselineAtTheRight) {
    CounterRun run;
    ResetCounterRun(&run);
    const PixelRect rect = {5, 20, 105, 40};
    PointBuffer out;
    ASSERT_EQ(ScaleHistory(out.points, &rect, run.History, HistorySize, run.RingIndex, 100, 0),
              100);
    for (int i = 0; i < 99; i++) {
        ASSERT_EQ(out.points[i].x, 5 + i);
        ASSERT_EQ(out.points[i].y, 40) << "point " << i;
    }
    EXPECT_EQ(out.points[99].x, 104);
    EXPECT_EQ(out.points[99].y, 39);
}

TEST(ValueScale, HistoryRefusesWhatCannotBeScaled) {
    struct Call {
        bool points = true, rect = true, ring = true;
        int ringSize = HistorySize;
        int32_t ringIndex = 0;
        int64_t valMax = 100;
        PixelRect area = {0, 0, 10, 10};
    };
    // clang-format off
    struct Case { const char* what; void (*change)(Call&); } cases[] = {
        {"no points", [](Call& c) { c.points = false; }},
        {"no rect", [](Call& c) { c.rect = false; }},
        {"no ring", [](Call& c) { c.ring = false; }},
        {"ring size 0", [](Call& c) { c.ringSize = 0; }},
        {"ring size -1", [](Call& c) { c.ringSize = -1; }},
        {"index 256", [](Call& c) { c.ringIndex = HistorySize; }},
        {"index -1", [](Call& c) { c.ringIndex = -1; }},
        {"max 0", [](Call& c) { c.valMax = 0; }},
        {"max -5", [](Call& c) { c.valMax = -5; }},
        {"width 0", [](Call& c) { c.area.right = c.area.left; }},
        {"width -3", [](Call& c) { c.area.right = c.area.left - 3; }},
        {"span -1", [](Call& c) { c.area.bottom = c.area.top; }}};
    // clang-format on
    Ring ring;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Call call;
        c.change(call);
        PointBuffer out;
        EXPECT_EQ(ScaleHistory(call.points ? out.points : nullptr, call.rect ? &call.area : nullptr,
                               call.ring ? ring.entries : nullptr, call.ringSize, call.ringIndex,
                               call.valMax, 0),
                  0);
        EXPECT_TRUE(out.UntouchedFrom(0));
    }
}

TEST(ValueScale, OnePixelHighPlotPutsEverySampleOnTheBaseline) {
    const PixelRect rect = {0, 5, 4, 6}; // span 0: top and baseline are both row 5
    Ring ring;
    // Wrapped at index 1: entries 254 and 255 are the older segment.
    ring.entries[254] = 0;
    ring.entries[255] = 7;
    ring.entries[0] = -5;
    ring.entries[1] = 999;
    int64_t bias = RoundingBias(Up, 1000, 0);
    PointBuffer out;
    ASSERT_EQ(ScaleHistory(out.points, &rect, ring.entries, HistorySize, 1, 1000, bias), 4);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(out.points[i].y, 5) << "point " << i;
    for (int64_t latest : {int64_t{-5}, int64_t{0}, int64_t{500}, int64_t{1000}})
        EXPECT_EQ(ScaleLatest(latest, bias, &rect, 1000), 5) << latest;
}

TEST(ValueScale, LatestIsHeldAtTheTopButNotAtTheBaseline) {
    // Rect rows top..9: baseline 9. A valMax of 0 gives the empty column, rect->bottom.
    // clang-format off
    struct Case { int64_t latest; int64_t bias; int32_t top; int64_t valMax; int32_t row; }
    cases[] = {
        {500, 0, 0, 1000, 5}, {500, 110, 0, 1000, 4}, {1000, 0, 0, 1000, 0},
        {1000000, 0, 0, 1000, 0}, {1000000, 0, 3, 1000, 3}, {-1, 0, 0, 1000, 9},
        {-500, 0, 0, 1000, 13}, {-1000000, 0, 0, 1000, 9009}, {500, 0, 0, 0, 10}};
    // clang-format on
    for (const Case& c : cases) {
        const PixelRect rect = {0, c.top, 1, 10};
        EXPECT_EQ(ScaleLatest(c.latest, c.bias, &rect, c.valMax), c.row)
            << c.latest << " bias " << c.bias << " max " << c.valMax;
    }
}

} // namespace
