// Loading and saving the settings file.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// Fills the settings records and notes whether the file was refused; returns 1 when a
// settings file was read, else 0.
int LoadSettings(AppState* app);
// Takes the placement from the window and writes the settings, unless the file was refused
// when it was loaded; returns 1 when a settings file existed before.
int SaveSettings(AppState* app, HWND window);
