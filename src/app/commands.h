// The pop-up menu's commands, carried out on the graph window.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// Carries out command id; returns false for an id that is not the program's.
bool OnCommand(AppState* app, HWND window, UINT id);
