// The settings window's first page: the window-wide settings of MainSettings.
#pragma once

#include <windows.h>

// The page's dialog procedure; its creation parameter is the MainSettings record it edits.
INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
