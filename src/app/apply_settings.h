// The settings command: opens the settings window and takes its result into use.
#pragma once

#include <windows.h>

#include "app/app_state.h"

void RunSettingsCommand(AppState* app, HWND window);
