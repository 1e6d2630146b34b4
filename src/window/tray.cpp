// The tray icon and the pop-up menu.
#include "window/tray.h"

#include <shellapi.h>

#include "res/resource.h"
#include "window/placement.h"

namespace {

ShellNotifyProc TheShellNotify = Shell_NotifyIconW;

} // namespace

ShellNotifyProc ShellNotify() {
    return TheShellNotify;
}

void UseShellNotify(ShellNotifyProc proc) {
    TheShellNotify = proc ? proc : Shell_NotifyIconW;
}

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
    return ShellNotify()(message, &data);
}

void FillTrayNotice(NOTIFYICONDATAW* data, HWND window, UINT id, const wchar_t* title,
                    const wchar_t* text, bool quiet) {
    // Notifications need the later layout. The quiet-time flag keeps the notification from a
    // user's first hour on a new account or a freshly installed system, as Windows asks of
    // programs; Windows drops it then rather than holding it back.
    *data = {};
    data->cbSize = sizeof(*data);
    data->hWnd = window;
    data->uID = id;
    data->uFlags = NIF_INFO;
    data->dwInfoFlags = NIIF_WARNING | NIIF_RESPECT_QUIET_TIME | (quiet ? NIIF_NOSOUND : 0);
    lstrcpynW(data->szInfoTitle, title, ARRAYSIZE(data->szInfoTitle));
    lstrcpynW(data->szInfo, text, ARRAYSIZE(data->szInfo));
}

BOOL NotifyTrayNotice(HWND window, UINT id, const wchar_t* title, const wchar_t* text, bool quiet) {
    NOTIFYICONDATAW data;
    // An empty text takes a notification still on screen away, so that the new one is not
    // queued behind it; repeating alarms would otherwise stack up one per sample.
    // What the icon answers to it does not matter: the notification that follows says
    // whether the icon is there.
    FillTrayNotice(&data, window, id, L"", L"", true);
    ShellNotify()(NIM_MODIFY, &data);
    FillTrayNotice(&data, window, id, title, text, quiet);
    return ShellNotify()(NIM_MODIFY, &data);
}

namespace {

void SetItemState(HMENU menu, UINT id, UINT state) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    info.fState = state;
    SetMenuItemInfoW(menu, id, FALSE, &info);
}

UINT PriorityItem(DWORD priorityClass) {
    switch (priorityClass) {
    case REALTIME_PRIORITY_CLASS:
        return IDM_PRIO_REALTIME;
    case HIGH_PRIORITY_CLASS:
        return IDM_PRIO_HIGH;
    case ABOVE_NORMAL_PRIORITY_CLASS:
        return IDM_PRIO_ABOVE;
    case NORMAL_PRIORITY_CLASS:
        return IDM_PRIO_NORMAL;
    case BELOW_NORMAL_PRIORITY_CLASS:
        return IDM_PRIO_BELOW;
    case IDLE_PRIORITY_CLASS:
        return IDM_PRIO_IDLE;
    default:
        return 0;
    }
}

} // namespace

HMENU BuildPopupMenu(HINSTANCE instance, int menuId, UINT defaultItem, uint32_t runFlag,
                     uint32_t prop, uint32_t layeredCaps, uint32_t osMajor) {
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
    if (!menu)
        return nullptr;
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    if (GetMenuItemInfoW(menu, defaultItem, FALSE, &info))
        SetItemState(menu, defaultItem, info.fState | MFS_DEFAULT);

    // Without a tray icon the window's own menu is the only way back: hiding the window or
    // making it click-through would leave nothing to click. Windows passes clicks through
    // see-through pixels as well, so with the frame off a see-through window could be
    // reached nowhere.
    if (!(runFlag & TrayIcon)) {
        if (!(runFlag & Shown))
            EnableMenuItem(menu, IDM_SHOWGRAPH, MF_BYCOMMAND | MF_GRAYED);
        if (!(runFlag & LayClickThrough))
            EnableMenuItem(menu, IDM_CLICKTHROUGH, MF_BYCOMMAND | MF_GRAYED);
        if (!(runFlag & LayColorKey))
            EnableMenuItem(menu, IDM_CLEARBACK, MF_BYCOMMAND | MF_GRAYED);
    }
    if (prop & PropShown)
        SetItemState(menu, IDM_SHOWGRAPH, MFS_CHECKED);
    if (prop & PropTopmost)
        SetItemState(menu, IDM_TOPMOST, MFS_CHECKED);

    if (layeredCaps) {
        if (prop & PropTranslucent)
            SetItemState(menu, IDM_TRANSLUCENT, MFS_CHECKED);
        if (prop & PropClearBack)
            SetItemState(menu, IDM_CLEARBACK, MFS_CHECKED);
        if (prop & PropClickThrough)
            SetItemState(menu, IDM_CLICKTHROUGH, MFS_CHECKED);
    } else {
        DeleteMenu(menu, IDM_TRANSLUCENT, MF_BYCOMMAND);
        DeleteMenu(menu, IDM_CLEARBACK, MF_BYCOMMAND);
        DeleteMenu(menu, IDM_CLICKTHROUGH, MF_BYCOMMAND);
    }
    // Systems before version 5 have no above-normal and below-normal classes.
    if (osMajor < 5) {
        DeleteMenu(menu, IDM_PRIO_ABOVE, MF_BYCOMMAND);
        DeleteMenu(menu, IDM_PRIO_BELOW, MF_BYCOMMAND);
    }
    if (runFlag & AlarmRunning)
        SetItemState(menu, IDM_ALARM, MFS_CHECKED);
    if (!(runFlag & AlarmArmed))
        EnableMenuItem(menu, IDM_ALARM, MF_BYCOMMAND | MF_GRAYED);
    if (runFlag & SettingsOpen) {
        EnableMenuItem(menu, IDM_SETTINGS, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(menu, IDM_ALARM, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(menu, IDM_EXIT, MF_BYCOMMAND | MF_GRAYED);
    }
    UINT priority = PriorityItem(GetPriorityClass(GetCurrentProcess()));
    if (priority)
        CheckMenuRadioItem(menu, IDM_PRIO_REALTIME, IDM_PRIO_IDLE, priority, MF_BYCOMMAND);
    return menu;
}

BOOL ShowTrayMenu(HWND window, HMENU popup) {
    UINT align;
    switch (TaskbarEdge()) {
    case ABE_LEFT:
        align = TPM_LEFTALIGN | TPM_BOTTOMALIGN;
        break;
    case ABE_TOP:
        align = TPM_RIGHTALIGN | TPM_TOPALIGN;
        break;
    default:
        align = TPM_RIGHTALIGN | TPM_BOTTOMALIGN;
        break;
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere, and
    // the message posted after it lets the next tray click open it again at once.
    SetForegroundWindow(window);
    BOOL result = TrackPopupMenu(popup, align, cursor.x, cursor.y, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    return result;
}
