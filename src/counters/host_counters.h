// The host counter source: under Wine, the processor, memory, network and disk counters are
// served from the Linux host's own accounting files instead of Wine's counter library.
#pragma once

#include <cstdint>

#include "counters/counter_library.h"

// The clock of the rate counters, in 100-nanosecond units.
using HostClock = int64_t (*)();

// The environment variable that names the folder standing for the Linux /proc (a Windows
// path); Z:\proc, Wine's mapping of the Linux root, when it is not set.
constexpr const wchar_t* HostProcVariable = L"FERROGAUGE_PROC";

// Configures the host source and returns its library: the paths it knows are served from the
// files stat, meminfo, net\dev and diskstats of the folder root, every other path (and every
// known one whose file cannot be read when it is added) goes to inner. One source serves the
// process; a second call replaces the configuration, so it must come before any query is
// opened or after the last is closed. Not for use from more than one thread.
const CounterLibrary* HostCounterLibrary(const CounterLibrary* inner, const wchar_t* root,
                                         HostClock clock);

// True when the process runs under Wine (its ntdll exports wine_get_version).
bool RunningUnderWine();

// The library the program samples with: the host source under Wine, the system's pdh.dll
// everywhere else.
const CounterLibrary* ProgramCounterLibrary();
