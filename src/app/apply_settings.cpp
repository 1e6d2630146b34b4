// The settings command. The settings window does not exist yet, so there is nothing to open.
#include "app/apply_settings.h"

void RunSettingsCommand(AppState*, HWND) {}
