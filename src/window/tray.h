// The tray icon and the pop-up menu.
#pragma once

#include <cstdint>

#include <windows.h>

#include "settings/settings_model.h"
#include "window/run_flag.h"

// Shell_NotifyIconW with the first, shortest NOTIFYICONDATAW layout. callbackMessage 0,
// icon null and tip null leave those members out.
BOOL NotifyTrayIcon(DWORD message, HWND window, UINT id, UINT callbackMessage, HICON icon,
                    const wchar_t* tip);
// Loads the pop-up menu and dresses its items for the run flag and the Prop bits, on a system
// of osMajor whose layered-window functions are layeredCaps; the caller destroys it.
HMENU BuildPopupMenu(HINSTANCE instance, int menuId, UINT defaultItem, uint32_t runFlag,
                     uint32_t prop, uint32_t layeredCaps, uint32_t osMajor);
// Opens popup at the cursor, aligned away from the taskbar, for the tray icon's right click.
// Returns TrackPopupMenu's result.
BOOL ShowTrayMenu(HWND window, HMENU popup);
