// Mouse-driven showing and hiding: the hover action and its watch, the tray icon's mouse
// actions and menu, the tray peek, and hiding a window shown only for a moment when the
// program loses activation.
#include "app/hover.h"

#include "app/window_actions.h"
#include "res/resource.h"
#include "window/layered.h"
#include "window/tray.h"

namespace {

constexpr UINT HoverWatchMs = 100;
constexpr UINT PeekWatchMs = 100;
constexpr UINT DefaultMouseHoverMs = 400;

void SetClickThrough(HWND window, bool on) {
    LONG style = GetWindowLongW(window, GWL_EXSTYLE);
    SetWindowLongW(window, GWL_EXSTYLE,
                   on ? (style | WS_EX_TRANSPARENT) : (style & ~WS_EX_TRANSPARENT));
}

// The layered attributes of the window when no hover action is in force.
void RestoreAttributes(AppState* app, HWND window) {
    const MainSettings* main = &app->Settings.Main;
    DWORD flags = 0;
    BYTE alpha = 255;
    if (app->RunFlag & LayAlpha) {
        flags = LWA_ALPHA;
        alpha = AlphaOfPercent(main->WndAlpha & 0xFFFF);
    }
    if (app->RunFlag & LayColorKey)
        flags |= LWA_COLORKEY;
    if ((main->Prop & PropHoverOn) && (app->RunFlag & LayClickThrough)) {
        SetClickThrough(window, false);
        app->RunFlag &= ~LayClickThrough;
    }
    ApplyLayered(window, main->ColWndLay, alpha, flags);
}

bool CursorNear(POINT a, POINT b) {
    return a.x - b.x <= 1 && b.x - a.x <= 1 && a.y - b.y <= 1 && b.y - a.y <= 1;
}

void ShowTrayMenuFor(AppState* app, HWND window) {
    // Shown activated: losing the activation hides it again unless it is meant to stay.
    ShowGraphWindow(app, ShowActivated);
    HMENU menu = BuildProgramMenu(app);
    if (!menu)
        return;
    ShowTrayMenu(window, GetSubMenu(menu, 0));
    DestroyMenu(menu);
}

void WatchPeek(AppState* app, HWND window) {
    GetCursorPos(&app->PeekPoint);
    if ((app->RunFlag & Shown) || app->Peeking)
        return;
    UINT hoverMs = DefaultMouseHoverMs;
    if (!SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hoverMs, 0))
        hoverMs = DefaultMouseHoverMs;
    // Every move starts the wait again: the peek needs the mouse to rest.
    SetTimer(window, TIMER_TRAYPEEK, hoverMs, nullptr);
}

} // namespace

LRESULT OnActivateApp(AppState* app, bool active) {
    if (active) {
        app->RunFlag |= AppActive;
        return 0;
    }
    // A window shown only for the tray menu goes again with the activation.
    if (!(app->Settings.Main.Prop & PropShown) && (app->RunFlag & Shown))
        HideGraphWindow(app);
    app->RunFlag &= ~AppActive;
    return 0;
}

LRESULT OnNcMouseMove(AppState* app, HWND window) {
    const MainSettings* main = &app->Settings.Main;
    if (!(main->Prop & PropHoverOn) || (app->RunFlag & HoverActive))
        return 0;
    if (!(app->RunFlag & AppActive) && !(main->Prop & PropShown))
        return 0;
    if (ShiftHeld())
        return 0;
    uint32_t hoverPercent = main->WndAlpha >> 16;
    if (app->LayeredCaps && !(main->Prop & PropHoverHides) && hoverPercent != 0) {
        DWORD flags = LWA_ALPHA;
        if (app->RunFlag & LayColorKey)
            flags |= LWA_COLORKEY;
        if ((main->Prop & PropClickThrough) && !(app->RunFlag & LayClickThrough)) {
            // Clicks fall through only while the mouse is over the graph.
            SetClickThrough(window, true);
            app->RunFlag |= LayClickThrough;
        }
        ApplyLayered(window, main->ColWndLay, AlphaOfPercent(hoverPercent), flags);
    } else {
        HideGraphWindow(app);
        app->RunFlag |= HoverHidden;
    }
    app->RunFlag |= HoverActive;
    SetTimer(window, TIMER_HOVER, HoverWatchMs, nullptr);
    return 0;
}

void OnHoverTimer(AppState* app, HWND window) {
    if (app->InSizeMove == 1)
        return;
    RECT r;
    POINT cursor;
    // The rectangle stays valid while the window is hidden.
    if (!GetWindowRect(window, &r) || !GetCursorPos(&cursor))
        return;
    if (cursor.x >= r.left && cursor.x < r.right && cursor.y >= r.top && cursor.y < r.bottom)
        return;
    KillTimer(window, TIMER_HOVER);
    app->RunFlag &= ~HoverActive;
    if (app->RunFlag & HoverHidden) {
        if (!(app->RunFlag & Shown) &&
            ((app->Settings.Main.Prop & PropShown) || (app->RunFlag & AppActive)))
            ShowGraphWindow(app);
        app->RunFlag &= ~HoverHidden;
        return;
    }
    RestoreAttributes(app, window);
}

LRESULT OnTrayCallback(AppState* app, HWND window, LPARAM mouseMessage) {
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_MOUSEMOVE:
        WatchPeek(app, window);
        break;
    case WM_LBUTTONDBLCLK:
        PostMessageW(window, WM_COMMAND, IDM_SHOWGRAPH, 0);
        break;
    case WM_RBUTTONUP:
        ShowTrayMenuFor(app, window);
        break;
    case WM_MBUTTONUP:
        PostMessageW(window, WM_COMMAND, IDM_TOPMOST, 0);
        break;
    case WM_XBUTTONUP:
        PostMessageW(window, WM_COMMAND, IDM_TRANSLUCENT, 0);
        break;
    default:
        break;
    }
    return 0;
}

void OnTrayPeekTimer(AppState* app, HWND window) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    bool rests = CursorNear(cursor, app->PeekPoint);
    if (!app->Peeking) {
        if (!rests) {
            KillTimer(window, TIMER_TRAYPEEK); // the mouse did not rest
            return;
        }
        app->Peeking = 1;
        SetTimer(window, TIMER_TRAYPEEK, PeekWatchMs, nullptr);
        if (!(app->RunFlag & Shown))
            ShowGraphWindow(app, ShowOnTop);
        return;
    }
    if (rests)
        return; // the tray's moves keep PeekPoint current
    app->Peeking = 0;
    KillTimer(window, TIMER_TRAYPEEK);
    if (!(app->RunFlag & AppActive) && (app->RunFlag & Shown) &&
        !(app->Settings.Main.Prop & PropShown))
        HideGraphWindow(app);
}
