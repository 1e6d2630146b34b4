// The tray icon and the pop-up menu.
#pragma once

#include <cstdint>

#include <windows.h>

#include "app/app_state.h"

// Shell_NotifyIconW with the first, shortest NOTIFYICONDATAW layout. callbackMessage 0,
// icon null and tip null leave those members out.
BOOL NotifyTrayIcon(DWORD message, HWND window, UINT id, UINT callbackMessage, HICON icon,
                    const wchar_t* tip);
// Loads the pop-up menu and dresses its items for the current state; the caller destroys it.
HMENU BuildPopupMenu(AppState* app, HINSTANCE instance, int menuId, UINT defaultItem,
                     uint32_t runFlag, uint32_t prop);
// Opens popup at the cursor, aligned away from the taskbar, for the tray icon's right click.
// Returns TrackPopupMenu's result.
BOOL ShowTrayMenu(HWND window, HMENU popup);
// The tray image: the program icon when the icon graph is off, else the graphs' picture from
// runs (null: only background and frame). unchanged as for MakeTrayIcon. The caller owns it.
HICON MakeTrayImage(AppState* app, CounterRun* runs, bool* unchanged = nullptr);
// Takes the icon out of the notification area, if it is there, and destroys its image.
void RemoveTrayIcon(AppState* app, HWND window);
