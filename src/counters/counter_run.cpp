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
