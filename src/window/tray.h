// The tray icon and the pop-up menu.
#pragma once

#include <cstdint>

#include <windows.h>

#include <shellapi.h>

#include "settings/settings_model.h"
#include "window/run_flag.h"

// The shell call every change of the tray icon goes through. By default it is the system's
// Shell_NotifyIconW; a test may put in its own, which must answer as that call does (TRUE when
// the shell took the change; FALSE for NIM_MODIFY or NIM_DELETE of an icon that is not there
// and for NIM_ADD of one that is), so that the calls the program makes can be seen.
using ShellNotifyProc = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
// The call the program makes: the system's, unless a test put in another.
ShellNotifyProc ShellNotify();
// Puts proc in for ShellNotify(); null puts the system's back.
void UseShellNotify(ShellNotifyProc proc);

// Shell_NotifyIconW with the first, shortest NOTIFYICONDATAW layout. callbackMessage 0,
// icon null and tip null leave those members out.
BOOL NotifyTrayIcon(DWORD message, HWND window, UINT id, UINT callbackMessage, HICON icon,
                    const wchar_t* tip);
// The modification that shows a notification from the icon: the warning icon, Windows' quiet
// time respected, and nothing else of the icon (picture, tooltip, callback) touched. title and
// text are cut to what the structure holds; an empty text takes a notification away. A quiet
// notification plays no sound.
void FillTrayNotice(NOTIFYICONDATAW* data, HWND window, UINT id, const wchar_t* title,
                    const wchar_t* text, bool quiet);
// Shows a notification from the icon in place of one it may still show, which would otherwise
// keep the new one waiting. False when the icon is not in the tray.
BOOL NotifyTrayNotice(HWND window, UINT id, const wchar_t* title, const wchar_t* text, bool quiet);
// Loads the pop-up menu and dresses its items for the run flag and the Prop bits, on a system
// of osMajor whose layered-window functions are layeredCaps; the caller destroys it.
HMENU BuildPopupMenu(HINSTANCE instance, int menuId, UINT defaultItem, uint32_t runFlag,
                     uint32_t prop, uint32_t layeredCaps, uint32_t osMajor);
// Opens popup at the cursor, aligned away from the taskbar, for the tray icon's right click.
// Returns TrackPopupMenu's result.
BOOL ShowTrayMenu(HWND window, HMENU popup);
