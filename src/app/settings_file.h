// Loading and saving the settings file.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// Where the settings file lives, decided once at start: the file the settings argument names
// (when it names a .ini file), made a full path; else the program's name with .ini beside it,
// when that file is there or the folder lets the program create a file; else a file of that
// name in %APPDATA%\Ferrogauge, whose folder the first save makes. None when the program's own
// path cannot be had.
SettingsPlace FindSettingsPath(const wchar_t* argument, wchar_t* path);
// Fills the settings records from the file FindSettingsPath names and notes whether the file was
// refused; returns 1 when a settings file was read, else 0.
int LoadSettings(AppState* app);
// Room for a reason of SettingsErrorReason, terminator included.
constexpr int SettingsReasonChars = 512;
// Why the settings file could not be read (or, writing, saved), in the user's language: the
// program's own words for the reasons it finds itself, the system's for the others, and the
// code in words of the program's where the system has none. reason has SettingsReasonChars.
void SettingsErrorReason(HINSTANCE instance, uint32_t error, bool writing, wchar_t* reason);
// Tells the user, when the file was refused at the load, which file could not be read, why,
// and that changes will not be saved.
void ReportReadError(AppState* app);
// Takes the placement from the window and writes the settings, unless the file was refused
// when it was loaded; returns 1 when a settings file existed before.
int SaveSettings(AppState* app, HWND window);
