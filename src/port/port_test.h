// Controls of the port for the unit tests. The posix port is wholly theirs; on Windows only the
// tick count can be fixed, and the program never does it.
#pragma once

#include <cstdint>

#include "port/port.h"

// Chooses the ANSI code page the port imitates: 1252 (the default, no lead bytes) or 932
// (Shift-JIS). Any other value behaves as 1252.
void PortSetCodePage(unsigned codePage);
// Lets the next allocations of PortHeapAlloc succeed and every one after them fail, so that
// the handling of a full heap can be tested; a negative count lets all succeed again.
void PortFailHeapAfter(long allocations);
// Sets the tick count that the port reports (on Windows, until PortUseSystemTickCount).
void PortSetTickCount(uint32_t ms);
// Windows only: the system's tick count again.
void PortUseSystemTickCount();
// Posix only: sets the local time that the port reports.
void PortSetLocalTime(const PortTime* time);
