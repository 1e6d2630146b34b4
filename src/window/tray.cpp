// The tray icon and the pop-up menu.
#include "window/tray.h"

#include <shellapi.h>

BOOL NotifyTrayIcon(DWORD message, HWND window, UINT id, UINT callbackMessage, HICON icon,
                    const wchar_t* tip) {
    // The first layout is understood by every shell and needs nothing newer.
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    if (callbackMessage) {
        data.uCallbackMessage = callbackMessage;
        data.uFlags |= NIF_MESSAGE;
    }
    if (icon) {
        data.hIcon = icon;
        data.uFlags |= NIF_ICON;
    }
    if (tip) {
        lstrcpynW(data.szTip, tip, 64);
        data.uFlags |= NIF_TIP;
    }
    return Shell_NotifyIconW(message, &data);
}

HMENU BuildPopupMenu(AppState*, HINSTANCE instance, int menuId, UINT, uint32_t, uint32_t) {
    // The item states are not dressed yet: the menu shows as the resource has it.
    return LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
}
