// The settings window's counter pages: one graph's counter path, full scale, caption and alarm.
#pragma once

#include <windows.h>

#include "counters/counter_library.h"
#include "settings/settings_model.h"

// The creation parameter of a counter page: the slot it edits, the counter library that fills
// in empty instances and browses counters, and the settings file's path for the alarm dialog.
struct CounterPageParam {
    CounterSlot* Slot;
    const CounterLibrary* Pdh;
    const wchar_t* SettingsPath;
};

INT_PTR CALLBACK CounterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
