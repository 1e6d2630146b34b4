// The one counter query, the graphs' counters in it, and the empty-instance expansion.
#pragma once

#include <cstdint>

#include <windows.h>

#include "counters/counter_library.h"
#include "counters/counter_path.h"
#include "counters/counter_run.h"
#include "settings/settings_model.h"

// Capacity of an expanded counter path, terminator included.
constexpr int ExpandedPathChars = CounterPathChars;

// Opens a query; null, after telling the user over window (in Japanese "PdhOpenQuery() Error"),
// when there is none.
PDH_HQUERY OpenCounterQuery(const CounterLibrary* pdh, HWND window);
// Adds the counter of slot's path, its empty instance filled with the first instance there is
// now, to query when the slot is in use; null when it gets none.
PDH_HCOUNTER AddSlotCounter(const CounterLibrary* pdh, PDH_HQUERY query, const CounterSlot* slot);
// Adds the counter of slot's path to query when the slot is in use and notes it in run; false
// when it gets none.
bool AddGraphCounter(const CounterLibrary* pdh, PDH_HQUERY query, const CounterSlot* slot,
                     CounterRun* run);
// Removes the graph's counter from its query, if it has one.
void RemoveGraphCounter(const CounterLibrary* pdh, CounterRun* run);
// Removes the counters of the count graphs in runs, then closes *query (if open) and sets it
// null.
void CloseCounters(const CounterLibrary* pdh, PDH_HQUERY* query, CounterRun* runs, int count);
// Shows the counter error box over window: string 11 of instance, or, when graph 1's counter
// (first) is switched off in the settings file, the message that says so.
void ShowCounterError(HINSTANCE instance, HWND window, const CounterSlot* first);
// Reads one graph's value after a collection; false when it has no counter or no value.
bool ReadCounter(const CounterLibrary* pdh, const CounterRun* run, int64_t* value);

// Copies path into output, filling an empty instance "()" of its object with the first
// instance the library lists. Returns the characters written; 0 when the expanded start
// does not fit.
int ExpandCounterPath(const CounterLibrary* pdh, const wchar_t* path, wchar_t* output,
                      int capacity);
