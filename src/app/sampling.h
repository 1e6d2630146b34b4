// The sampling cycle: the sample tick, the redraw it asks for, and the other timers.
#pragma once

#include <windows.h>

#include "app/app_state.h"

LRESULT OnTimer(AppState* app, HWND window, WPARAM id);
// Paints both graphs into the surface, shows it, and renews the tray icon.
LRESULT OnRedraw(AppState* app, HWND window);
// Paints both window graphs into the surface, if there is one.
void PaintSurface(AppState* app);
