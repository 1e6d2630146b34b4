// The alarm settings dialog of one counter: when its alarm fires and what it does.
#pragma once

#include <windows.h>

#include "settings/settings_model.h"

// The dialog's procedure; its creation parameter is the CounterSlot it edits. It stores into
// the slot at its own OK.
INT_PTR CALLBACK AlarmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the dialog modally over owner for slot; 1 for OK, 2 for Cancel.
INT_PTR RunAlarmDialog(HWND owner, CounterSlot* slot);
