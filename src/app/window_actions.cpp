// What several handlers do to the graph window: show and hide it, paint its surface, its menu
// and its hot key. The commands, the hover and tray handlers and the window procedure share
// them from here, below all of them.
#include "app/window_actions.h"

#include "render/painter.h"
#include "res/resource.h"
#include "ui/dialog_helpers.h"
#include "ui/hot_key.h"
#include "window/tray.h"

bool ShiftHeld() {
    return GetKeyState(VK_SHIFT) < 0;
}

void PaintSurface(AppState* app) {
    PaintGraphs(app->Surface, app->GraphRes, app->Settings.Slot, app->Run, 2);
}

void ShowGraphWindow(AppState* app, uint32_t options) {
    if (!(app->RunFlag & Shown)) {
        PaintSurface(app);
        ShowWindow(app->Window, (options & ShowActivated) ? SW_SHOW : SW_SHOWNOACTIVATE);
        app->RunFlag |= Shown;
    }
    if ((options & ShowOnTop) && (app->RunFlag & Topmost))
        SetWindowPos(app->Window, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void HideGraphWindow(AppState* app) {
    if (!(app->RunFlag & Shown))
        return;
    ShowWindow(app->Window, SW_HIDE);
    app->RunFlag &= ~Shown;
}

HMENU BuildProgramMenu(const AppState* app) {
    return BuildPopupMenu(app->Instance, IDR_POPUP_MENU, IDM_SHOWGRAPH, app->RunFlag,
                          app->Settings.Main.Prop, app->LayeredCaps, app->OsMajor);
}

bool RegisterShowHotKey(AppState* app, HWND window) {
    uint32_t key = app->Settings.Main.HkShow;
    if (!(key & HotKeyVkMask))
        return true;
    if (!RegisterHotKeySetting(window, HotKeyId, key))
        return false;
    app->RunFlag |= HotKey;
    return true;
}

void ReportHotKeyError(const AppState* app) {
    // A box of its own above every window, since the graph window may be hidden: the hot key
    // may be the user's only way to it.
    wchar_t name[96];
    HotKeyName(app->Instance, app->Settings.Main.HkShow, name, 96);
    ShowStringMessage(nullptr, IDS_HOTKEY_NOT_REGISTERED, name,
                      MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
}

void UnregisterShowHotKey(AppState* app, HWND window) {
    if (app->RunFlag & HotKey) {
        UnregisterHotKey(window, HotKeyId);
        app->RunFlag &= ~HotKey;
    }
}
