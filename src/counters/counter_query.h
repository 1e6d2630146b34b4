// The one counter query and the graphs' counters in it.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// Opens the query and adds the graphs' counters; returns 1 when sampling can start.
int OpenCounters(AppState* app, HWND window);
// Removes the counters and closes the query.
void CloseCounters(AppState* app);
