// The settings window's counter pages: one graph's counter path, full scale, caption and alarm.
#pragma once

#include <windows.h>

#include "counters/counter_library.h"
#include "settings/settings_model.h"

// The creation parameter of a counter page: the slot it edits and the counter library that
// fills in empty instances and browses counters.
struct CounterPageParam {
    CounterSlot* Slot;
    const CounterLibrary* Pdh;
};

INT_PTR CALLBACK CounterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
