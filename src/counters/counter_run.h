// What a counter has measured: its handle, latest and largest value, and the history ring.
#pragma once

#include <cstdint>

constexpr int HistorySize = 256;

struct CounterRun {
    void* Counter; // the counter's handle in the query, or null
    int64_t Latest;
    int64_t MaxValue;
    int32_t TextWidth;   // widest caption painted so far, pixels
    uint32_t AlarmState; // bit 0: the alarm is running
    uint32_t AlarmTick;  // tick count kept by the alarm's duration test
    int32_t RingIndex;   // index of the newest entry of History
    int64_t History[HistorySize];
};

// Empties the record: Latest, MaxValue and RingIndex 0, History[0] 0 and every other entry -1,
// the mark of an entry that has held no sample. The handle, caption width and alarm state stay.
void ResetCounterRun(CounterRun* run);
// Keeps value as Latest, writes it at the next ring index (0 after 255, or after any index
// outside the ring) and raises MaxValue to it when it is greater.
void StoreSample(CounterRun* run, int64_t value);
