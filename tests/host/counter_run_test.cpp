// The counter run record: its reset and the history ring that samples are stored in.
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "counters/counter_run.h"

namespace {

// A record full of left-over bytes, as one is before its first reset.
CounterRun DirtyRun() {
    CounterRun run;
    std::memset(&run, 0x5A, sizeof(run));
    return run;
}

CounterRun FreshRun() {
    CounterRun run = DirtyRun();
    ResetCounterRun(&run);
    return run;
}

TEST(CounterRun, ResetEmptiesTheRingButKeepsHandleCaptionAndAlarm) {
    CounterRun run = DirtyRun();
    int handle = 0;
    run.Counter = &handle;
    run.TextWidth = 77;
    run.AlarmState = 1;
    run.AlarmTick = 123456;
    ResetCounterRun(&run);

    EXPECT_EQ(run.RingIndex, 0);
    EXPECT_EQ(run.Latest, 0);
    EXPECT_EQ(run.MaxValue, 0);
    EXPECT_EQ(run.History[0], 0);
    for (int i = 1; i < HistorySize; i++)
        ASSERT_EQ(run.History[i], -1) << "entry " << i;
    EXPECT_EQ(run.Counter, &handle);
    EXPECT_EQ(run.TextWidth, 77);
    EXPECT_EQ(run.AlarmState, 1u);
    EXPECT_EQ(run.AlarmTick, 123456u);
}

TEST(CounterRun, SamplesFillTheRingFromIndexOneAndWrapToZero) {
    CounterRun run = FreshRun();
    StoreSample(&run, 10);
    EXPECT_EQ(run.RingIndex, 1);
    EXPECT_EQ(run.History[1], 10);
    EXPECT_EQ(run.Latest, 10);
    EXPECT_EQ(run.History[0], 0);
    EXPECT_EQ(run.History[2], -1);

    for (int n = 2; n <= HistorySize; n++)
        StoreSample(&run, n * 10);
    // The 256th sample is the first to land at index 0.
    EXPECT_EQ(run.RingIndex, 0);
    EXPECT_EQ(run.History[0], HistorySize * 10);
    for (int i = 1; i < HistorySize; i++)
        ASSERT_EQ(run.History[i], i * 10) << "entry " << i;
    EXPECT_EQ(run.Latest, HistorySize * 10);
    EXPECT_EQ(run.MaxValue, HistorySize * 10);

    StoreSample(&run, 5);
    EXPECT_EQ(run.RingIndex, 1);
    EXPECT_EQ(run.History[1], 5);
}

TEST(CounterRun, IndexOutsideTheRingRestartsAtZero) {
    // clang-format off
    struct Case { int32_t index; int32_t next; } cases[] = {
        {0, 1}, {254, 255}, {255, 0}, {-1, 0}, {-3, 0}, {1000, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        CounterRun run = FreshRun();
        run.RingIndex = c.index;
        StoreSample(&run, 42);
        EXPECT_EQ(run.RingIndex, c.next);
        EXPECT_EQ(run.History[c.next], 42);
    }
}

TEST(CounterRun, MaxValueRisesOnlyToGreaterSignedValues) {
    // clang-format off
    struct Case { int64_t maxBefore; int64_t sample; int64_t maxAfter; } cases[] = {
        {0, 7, 7}, {0, -5, 0}, {0, INT64_MIN, 0}, {5, -1, 5}, {5, 5, 5}, {-10, -5, -5},
        {7, INT64_MAX, INT64_MAX}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maxBefore << " then " << c.sample);
        CounterRun run = FreshRun();
        run.MaxValue = c.maxBefore;
        StoreSample(&run, c.sample);
        EXPECT_EQ(run.MaxValue, c.maxAfter);
        // Negative samples are kept as they are, not clamped.
        EXPECT_EQ(run.Latest, c.sample);
        EXPECT_EQ(run.History[1], c.sample);
    }
}

} // namespace
