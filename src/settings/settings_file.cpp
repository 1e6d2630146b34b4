// Loading and saving the settings file of the running program: the settings argument, the
// program's own path and the window's rectangle put to the settings store.
#include "settings/settings_file.h"

#include "settings/settings_store.h"

namespace {

int ProgramSettingsPath(const AppState* app, wchar_t* path) {
    wchar_t module[PathChars];
    DWORD length = GetModuleFileNameW(nullptr, module, PathChars);
    // A cut path (the result fills the buffer) names some other file.
    if (length == 0 || length >= static_cast<DWORD>(PathChars))
        module[0] = L'\0';
    return ResolveSettingsPath(app->SettingsArg, module, path);
}

} // namespace

int LoadSettings(AppState* app) {
    wchar_t path[PathChars];
    bool found = ProgramSettingsPath(app, path);
    SettingsFileStatus status;
    int read = LoadSettingsFile(found ? path : nullptr, &app->Settings, app->Run, &status);
    app->SettingsRefused = status == SettingsFileStatus::Refused;
    return read;
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
    if (app->SettingsRefused)
        return 1;
    wchar_t path[PathChars];
    if (!ProgramSettingsPath(app, path))
        return 0;
    // A failed save is not reported: the program goes on with the settings it has.
    SettingsSaveResult result = SaveSettingsFile(path, &app->Settings);
    return result == SettingsSaveResult::Replaced || result == SettingsSaveResult::Refused;
}
