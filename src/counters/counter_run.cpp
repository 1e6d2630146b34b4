// The counter run-time record: its reset and the storing of one sample into the history ring.
#include "counters/counter_run.h"

void ResetCounterRun(CounterRun* run) {
    run->Latest = 0;
    run->MaxValue = 0;
    run->RingIndex = 0;
    run->History[0] = 0;
    for (int i = 1; i < HistorySize; i++)
        run->History[i] = -1;
}

void StoreSample(CounterRun* run, int64_t value) {
    run->Latest = value;
    // An index outside the ring (a record never reset) starts again at 0 rather than writing
    // past the array.
    int32_t index = run->RingIndex;
    int32_t next = index >= 0 && index < HistorySize - 1 ? index + 1 : 0;
    run->RingIndex = next;
    run->History[next] = value;
    if (value > run->MaxValue)
        run->MaxValue = value;
}

void NoteRead(CounterRun* run, bool good) {
    if (good) {
        run->FailedReads = 0;
        run->Retrying = false;
    } else if (run->FailedReads < ReAddAfterFailedReads) {
        run->FailedReads++; // no further: only the threshold matters
    }
}

void NoteAdd(CounterRun* run, uint32_t now, bool retry) {
    // A new counter starts its count afresh; a retried one is not answering until it is read.
    if (!retry)
        run->FailedReads = 0;
    run->AddTick = now;
    run->Retrying = retry;
}

bool ReAddDue(const CounterRun* run, uint32_t now) {
    // Unsigned: the difference stays right across the tick count's wrap.
    bool paced = now - run->AddTick >= RetryPaceMs;
    if (!run->Counter)
        return paced;
    return run->FailedReads >= ReAddAfterFailedReads && (!run->Retrying || paced);
}
