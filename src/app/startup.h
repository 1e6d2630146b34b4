// Process start: the command line, the window class, the graph window and the message loop.
#pragma once

#include <cstdint>

#include <windows.h>

// The ANSI command line past the program name and the blanks after it.
const char* SkipProgramName(const char* commandLine);

// The settings argument: the rest of a wide command line after the program name, blanks
// skipped, otherwise unchanged (quotes and inner blanks are kept). Never null.
const wchar_t* FindSettingsArgument(const wchar_t* commandLine);

// FindSettingsArgument of the process's own command line.
const wchar_t* GetSettingsArgument();

// Stores the system's major version; returns 1, or 0 (leaving *major alone) on failure.
int ReadOsVersion(uint32_t* major);

ATOM RegisterGraphClass(HINSTANCE instance);
// Creates the hidden graph window; its creation handler sets the whole program up.
HWND CreateGraphWindow(HINSTANCE instance);
// Runs the message loop until WM_QUIT; returns its wParam.
int RunMessageLoop();

// The main routine: returns the process's exit code.
int FerroMain(HINSTANCE instance, HINSTANCE previous, const char* commandRest, int showCommand);
