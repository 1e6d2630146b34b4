// The graph window's procedure: the hub that sets up, runs and tears down the program.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// The one process-wide state. Only the entry's window procedure reaches it directly
// (tests read it to check what the procedure did).
extern AppState TheApp;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The priority class for a Priority value, as set at start-up on a system of osMajor.
DWORD PriorityClassAtStart(int32_t priority, uint32_t osMajor);
