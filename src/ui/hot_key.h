// The show/hide hot key as the settings hold it (RegisterHotKey modifiers in bits 8-11, the
// virtual key in bits 0-7, other bits kept for whatever wrote them) and as the hot-key control
// shows it (its own modifier flags in the high byte), and its name for the user.
#pragma once

#include <windows.h>

#include <cstdint>

// The control's value for a setting. The control has no Windows-key flag: a setting with one
// shows without it, and is kept as it is unless the user presses another combination.
WORD HotKeyControlValue(uint32_t setting);
// The setting for the control's value, keeping the bits of old above bit 11. A cleared
// control (no key) gives no key and no modifiers.
uint32_t HotKeySetting(uint32_t old, WORD controlValue);
// The combination of a setting as the user reads it, "Ctrl+Alt+F12": the modifiers, then the
// keyboard layout's name of the key, or the program's own name where the layout has none.
void HotKeyName(HINSTANCE instance, uint32_t setting, wchar_t* text, int capacity);
// The RegisterHotKey modifiers of a hot-key setting: its own, and MOD_NOREPEAT, so that a key
// held down sends one WM_HOTKEY, not one per auto-repeat (which would flip the window shown
// and hidden at random).
UINT HotKeyModifiers(uint32_t setting);
// Registers the combination of setting for window under id; without MOD_NOREPEAT where the
// system refuses it (Windows Vista). False when Windows refused it.
bool RegisterHotKeySetting(HWND window, int id, uint32_t setting);
// Tries whether Windows gives the combination of setting to the program now, by registering
// it for window under id and letting it go again.
bool HotKeyFree(HWND window, int id, uint32_t setting);
