// Mouse-driven showing and hiding. Only the application's activation is kept so far; the
// hover action, the tray mouse actions and the peek are not in place yet.
#include "app/hover.h"

LRESULT OnActivateApp(AppState* app, HWND, bool active) {
    if (active)
        app->RunFlag |= AppActive;
    else
        app->RunFlag &= ~AppActive;
    return 0;
}

LRESULT OnNcMouseMove(AppState*, HWND) { return 0; }

LRESULT OnTrayCallback(AppState*, HWND, LPARAM) { return 0; }

void OnHoverTimer(AppState*, HWND window) { KillTimer(window, TIMER_HOVER); }

void OnTrayPeekTimer(AppState*, HWND window) { KillTimer(window, TIMER_TRAYPEEK); }
