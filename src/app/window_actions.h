// What several handlers do to the graph window: show and hide it, paint its surface, its menu
// and its hot key, and whether Shift is held.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// True while a Shift key is down: it turns off snapping and the saves, and brings the window
// into view with the show command.
bool ShiftHeld();

// Paints both window graphs into the surface, if there is one.
void PaintSurface(AppState* app);

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

// The pop-up menu, dressed for the program's state; the caller destroys it.
HMENU BuildProgramMenu(const AppState* app);

// Registers the hot key of the settings (none when its key is 0) and notes it in the run flag.
// False when there is a key and Windows refused it (another program holds it).
bool RegisterShowHotKey(AppState* app, HWND window);
// Tells the user in a message box of its own that the hot key could not be registered.
void ReportHotKeyError(const AppState* app);
// Unregisters the hot key, if it is registered, and notes it in the run flag.
void UnregisterShowHotKey(AppState* app, HWND window);
