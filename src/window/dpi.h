// The DPI of the graph window and of the taskbar, and the tray icon's size at it. The calls
// that tell them exist from Windows 10 version 1607 on; Windows 8.1 and the first versions of
// Windows 10 are asked for the DPI of the window's monitor instead, and older systems give
// the system DPI.
#pragma once

#include <windows.h>

// The DPI of the monitor the window is on (the system DPI where that cannot be asked).
int WindowDpi(HWND window);
// The DPI the user's scale gives monitor (the system DPI where that cannot be asked).
int MonitorDpi(HMONITOR monitor);

// The small-icon size at dpi: 16, 20, 24 or 32 pixels at 100, 125, 150 and 200 %.
int SmallIconSizeAt(int dpi);

// The DPI of the taskbar that shows the notification area (the system DPI where that cannot
// be asked), for the tray icon's picture.
int TaskbarDpi();
