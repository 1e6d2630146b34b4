// Process start: the window class, the graph window and the message loop.
#pragma once

#include <windows.h>

ATOM RegisterGraphClass(HINSTANCE instance);
// Creates the hidden graph window; its creation handler sets the whole program up.
HWND CreateGraphWindow(HINSTANCE instance);
// Runs the message loop until WM_QUIT; returns its wParam.
int RunMessageLoop();

// The main routine: returns the process's exit code.
int FerroMain(HINSTANCE instance, HINSTANCE previous, const char* commandRest, int showCommand);
