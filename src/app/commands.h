// The pop-up menu's commands, carried out on the graph window.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// Carries out command id; returns false for an id that is not the program's.
bool OnCommand(AppState* app, HWND window, UINT id);
// The pop-up menu, dressed for the program's state; the caller destroys it.
HMENU BuildProgramMenu(const AppState* app);

// The RegisterHotKey modifiers of a hot-key setting: its own, and MOD_NOREPEAT, so that a key
// held down sends one WM_HOTKEY, not one per auto-repeat (which would flip the window shown
// and hidden at random).
UINT HotKeyModifiers(uint32_t hotKey);
// Registers the hot key of the settings (none when its key is 0) and notes it in the run flag;
// without MOD_NOREPEAT where the system refuses it (Windows Vista).
void RegisterShowHotKey(AppState* app, HWND window);
// Unregisters the hot key, if it is registered, and notes it in the run flag.
void UnregisterShowHotKey(AppState* app, HWND window);
