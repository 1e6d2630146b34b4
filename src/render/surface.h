// The window's back buffer and the tray icon's picture.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// A top-down DIB section of width x height at bitsPerPixel, all black; null on failure.
HBITMAP CreateSurface(int width, int height, int bitsPerPixel);

// A width x height icon of both graphs for the tray; the caller destroys it.
HICON MakeTrayIcon(AppState* app, int width, int height);
