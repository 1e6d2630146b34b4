// What a counter has measured: its handle, latest and largest value, and the history ring.
#pragma once

#include <cstdint>

constexpr int HistorySize = 256;

// A counter that has failed this many reads in a row is added again from its path: its
// instance may have gone (an adapter unplugged or renamed) and another may stand for it now.
// Five reads are long enough that a rate counter's first read after a re-add, a collection
// that met a provider while it restarted, or a wrap of a raw count never trigger it, and short
// enough that the graph follows a new adapter within seconds at the usual interval.
constexpr int32_t ReAddAfterFailedReads = 5;
// A counter that could not be added, or that a re-add did not bring back, is tried again no
// sooner than this, in milliseconds: a path that is simply wrong costs one attempt in 30 s.
constexpr uint32_t RetryPaceMs = 30000;

struct CounterRun {
    void* Counter; // the counter's handle in the query, or null
    int64_t Latest;
    int64_t MaxValue;
    int32_t TextWidth;   // widest caption painted so far, pixels
    uint32_t AlarmState; // bit 0: the alarm is running
    uint32_t AlarmTick;  // tick count kept by the alarm's duration test
    int32_t RingIndex;   // index of the newest entry of History
    int32_t FailedReads; // reads failed in a row since the last good one or the first add
    uint32_t AddTick;    // tick count of the last add or re-add, good or not
    bool Retrying;       // an add failed, or a re-add has not been read well since
    int64_t History[HistorySize];
};

// Empties the record: Latest, MaxValue and RingIndex 0, History[0] 0 and every other entry -1,
// the mark of an entry that has held no sample. The handle, caption width, alarm state and the
// add's bookkeeping stay.
void ResetCounterRun(CounterRun* run);
// Keeps value as Latest, writes it at the next ring index (0 after 255, or after any index
// outside the ring) and raises MaxValue to it when it is greater.
void StoreSample(CounterRun* run, int64_t value);

// Notes a read of the counter: a good one ends a failure and a retry; a failed one counts.
void NoteRead(CounterRun* run, bool good);
// Notes an attempt at now to add the counter. A first add (at a start, after OK) begins the
// failure count afresh; a retry (a re-add, or an add that failed) keeps it and makes the next
// attempt wait RetryPaceMs.
void NoteAdd(CounterRun* run, uint32_t now, bool retry);
// Whether the counter is to be added again at now: one without a handle when the pace allows;
// one with a handle once ReAddAfterFailedReads reads have failed, at once the first time and
// then at the pace.
bool ReAddDue(const CounterRun* run, uint32_t now);
// Whether the counter answers: it has a handle and its latest read did not fail.
inline bool CounterAnswers(const CounterRun* run) {
    return run->Counter && run->FailedReads == 0;
}
