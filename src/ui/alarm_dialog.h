// The alarm settings dialog of one counter: when its alarm fires and what it does.
#pragma once

#include <windows.h>

#include "settings/settings_model.h"

// The dialog's creation parameter: the slot it edits, and the settings file's path (null:
// none), which it refuses as a log.
struct AlarmDialogParam {
    CounterSlot* Slot;
    const wchar_t* SettingsPath;
};
// The dialog's procedure. It stores into the slot at its own OK, unless the file is one the
// action cannot use: it says so then and stays open.
INT_PTR CALLBACK AlarmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the dialog modally over owner for slot; 1 for OK, 2 for Cancel.
INT_PTR RunAlarmDialog(HWND owner, CounterSlot* slot, const wchar_t* settingsPath = nullptr);
