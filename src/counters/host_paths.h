// Counter paths of the host source: the counters it serves and the paths that name them.
#pragma once

#include "counters/host_source.h"

// The counters the host serves, by object and counter name.
extern const KnownCounter KnownCounters[10];

// True when the first aLength characters of a (all of it when -1) are b, case ignored.
bool SameCounterName(const wchar_t* a, int aLength, const wchar_t* b);

// Finds what path names among the counters the host serves. Fills the processor number or
// the interface name of the instance. False when the host does not serve the path.
const KnownCounter* MatchKnownPath(const wchar_t* path, int* cpu, char* interfaceName);
