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

// A counter that stops answering is added again after five failed reads in a row; one that a
// re-add did not bring back, or that could not be added, is tried no more than every 30 s.
TEST(CounterRun, ReAddsAfterFiveFailedReadsThenAtASlowPace) {
    for (uint32_t start : {1000u, 0xFFFFF000u}) {
        SCOPED_TRACE(start);
        CounterRun run = FreshRun();
        int handle = 0;
        run.Counter = &handle;
        NoteAdd(&run, start, false);
        EXPECT_TRUE(CounterAnswers(&run));
        for (int i = 1; i < ReAddAfterFailedReads; i++) {
            NoteRead(&run, false);
            EXPECT_FALSE(ReAddDue(&run, start + 1000 * i)) << "after " << i;
        }
        EXPECT_FALSE(CounterAnswers(&run));
        // A good read in between starts the count again.
        NoteRead(&run, true);
        EXPECT_TRUE(CounterAnswers(&run));
        for (int i = 0; i < ReAddAfterFailedReads; i++)
            NoteRead(&run, false);
        EXPECT_TRUE(ReAddDue(&run, start + 5000)) << "at once, though added 5 s ago";

        // Added again, and still failing: the next try waits 30 s from the re-add.
        uint32_t again = start + 5000;
        NoteAdd(&run, again, true);
        EXPECT_FALSE(CounterAnswers(&run)) << "not answering until it is read";
        for (int i = 0; i < 40; i++)
            NoteRead(&run, false);
        EXPECT_FALSE(ReAddDue(&run, again + RetryPaceMs - 1));
        EXPECT_TRUE(ReAddDue(&run, again + RetryPaceMs));
        // Read well after a re-add: the next failure run re-adds at once again.
        NoteRead(&run, true);
        EXPECT_TRUE(CounterAnswers(&run));
        for (int i = 0; i < ReAddAfterFailedReads; i++)
            NoteRead(&run, false);
        EXPECT_TRUE(ReAddDue(&run, again + 6000));

        // Without a handle (the add failed): the pace alone, from the failed add.
        run.Counter = nullptr;
        NoteAdd(&run, again, true);
        EXPECT_FALSE(CounterAnswers(&run));
        EXPECT_FALSE(ReAddDue(&run, again + RetryPaceMs - 1));
        EXPECT_TRUE(ReAddDue(&run, again + RetryPaceMs));
    }
}

// A first add after settings or a start forgets the failures of the counter before it.
TEST(CounterRun, AFirstAddStartsTheFailureCountAfresh) {
    CounterRun run = FreshRun();
    int handle = 0;
    run.Counter = &handle;
    NoteAdd(&run, 0, false);
    for (int i = 0; i < 100; i++)
        NoteRead(&run, false);
    EXPECT_EQ(run.FailedReads, ReAddAfterFailedReads) << "counted no further";
    NoteAdd(&run, 7, false);
    EXPECT_EQ(run.FailedReads, 0);
    EXPECT_FALSE(run.Retrying);
    EXPECT_FALSE(ReAddDue(&run, 7 + RetryPaceMs));
}

} // namespace
