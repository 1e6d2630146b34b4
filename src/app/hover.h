// Mouse-driven showing and hiding: the hover action, the tray mouse actions, the tray peek.
#pragma once

#include <windows.h>

#include "app/app_state.h"

LRESULT OnActivateApp(AppState* app, bool active);
LRESULT OnNcMouseMove(AppState* app, HWND window);
LRESULT OnTrayCallback(AppState* app, HWND window, LPARAM mouseMessage);
void OnHoverTimer(AppState* app, HWND window);
void OnTrayPeekTimer(AppState* app, HWND window);
