// The one counter query, the graphs' counters in it, and the empty-instance expansion.
#pragma once

#include <cstdint>

#include <windows.h>

#include "app/app_state.h"
#include "counters/counter_path.h"

// Capacity of an expanded counter path, terminator included.
constexpr int ExpandedPathChars = CounterPathChars;

// Opens the query, adds the graphs' counters and takes the reference collection. Returns 1
// when sampling can start; on failure everything is closed again and a message is shown.
int OpenCounters(AppState* app, HWND window);
// Adds the counter of graph to the open query when the graph is in use; false when it gets
// none.
bool AddGraphCounter(AppState* app, int graph);
// Adds the counter of every graph in use to the open query; graphs that fail get none.
void AddCounters(AppState* app);
// Removes every counter, then closes the query.
void CloseCounters(AppState* app);
// Shows the counter error box (string 11) over window.
void ShowCounterError(AppState* app, HWND window);
// Reads one graph's value after a collection; false when it has no counter or no value.
bool ReadCounter(const CounterLibrary* pdh, const CounterRun* run, int64_t* value);

// Copies path into output, filling an empty instance "()" of its object with the first
// instance the library lists. Returns the characters written; 0 when the expanded start
// does not fit.
int ExpandCounterPath(const CounterLibrary* pdh, const wchar_t* path, wchar_t* output,
                      int capacity);
