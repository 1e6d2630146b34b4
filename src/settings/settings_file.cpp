// Loading and saving the settings file. Files are not read or written yet: the load gives
// the defaults and the save only takes the window's placement.
#include "settings/settings_file.h"

#include "settings/settings_schema.h"

int LoadSettings(AppState* app) {
    LoadSettingsRecords(nullptr, &app->Settings, app->Run);
    return 0;
}

int SaveSettings(AppState* app, HWND window) {
    RECT r;
    if (GetWindowRect(window, &r)) {
        WindowPlacement* place = &app->Settings.Place;
        place->WndPosX = r.left;
        place->WndPosY = r.top;
        place->WndWidth = r.right - r.left;
        place->WndHeight = r.bottom - r.top;
    }
    return 0;
}
