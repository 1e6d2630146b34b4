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

// True while a Shift key is down: it turns off snapping and the saves, and brings the window
// into view with the show command.
bool ShiftHeld();

// Options of ShowGraphWindow.
enum : uint32_t {
    ShowActivated = 0x1, // activated, so that losing the activation can hide it again
    ShowOnTop = 0x2,     // a topmost window is put at the top of the topmost windows
};
// Shows the graph window if it is hidden, painting its surface first so it never shows
// stale content, as options ask.
void ShowGraphWindow(AppState* app, uint32_t options = 0);
// Hides the graph window if it is shown.
void HideGraphWindow(AppState* app);
