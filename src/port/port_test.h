// Host-only controls of the posix port, for the unit tests; Windows takes the system's own.
#pragma once

#include <cstdint>

#include "port/port.h"

// Chooses the ANSI code page the port imitates: 1252 (the default, no lead bytes) or 932
// (Shift-JIS). Any other value behaves as 1252.
void PortSetCodePage(unsigned codePage);
// Lets the next allocations of PortHeapAlloc succeed and every one after them fail, so that
// the handling of a full heap can be tested; a negative count lets all succeed again.
void PortFailHeapAfter(long allocations);
// Sets the tick count and the local time that the port reports.
void PortSetTickCount(uint32_t ms);
void PortSetLocalTime(const PortTime* time);
