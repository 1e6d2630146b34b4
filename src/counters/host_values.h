// The values of the host's counters: their figures taken from the files, and computed.
#pragma once

#include "counters/host_source.h"

// The figures of counter out of text: ERROR_SUCCESS, or PDH_CSTATUS_NO_INSTANCE.
PDH_STATUS SampleFigures(const HostCounter* counter, const char* text, size_t length,
                         uint64_t figures[2]);

// Takes one collection of counter from the file text (length -1: the file was not read).
void CollectHostCounter(HostCounter* counter, long length, int64_t now);

// The counter's value, or the status that says why there is none.
PDH_STATUS ComputeValue(const HostCounter* counter, double* value);
