// Loading and saving the settings file of the running program: the settings argument, the
// program's own path and the window's rectangle put to the settings store.
#include "app/settings_file.h"

#include "render/dpi_math.h"
#include "res/resource.h"
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

// Tells the user that the settings file could not be saved, its path and the system's reason,
// in the user's language, once per run.
void ReportSaveError(AppState* app, HWND window, const wchar_t* path, uint32_t error) {
    if (app->SaveErrorShown)
        return;
    app->SaveErrorShown = true;
    wchar_t reason[512];
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                        0, reason, 512, nullptr))
        wsprintfW(reason, L"%lu", static_cast<unsigned long>(error));
    wchar_t form[256];
    if (LoadStringW(app->Instance, IDS_SAVE_ERROR, form, 256) <= 0)
        return;
    const DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(path),
                                 reinterpret_cast<DWORD_PTR>(reason)};
    wchar_t* text = nullptr;
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                            FORMAT_MESSAGE_ARGUMENT_ARRAY,
                        form, 0, 0, reinterpret_cast<LPWSTR>(&text), 0,
                        reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(inserts))))
        return;
    // A window on its way out (the save at exit) owns no message box.
    MessageBoxW(IsWindowVisible(window) ? window : nullptr, text, ProgramTitle,
                MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    LocalFree(text);
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
        // Sizes are kept at 96 DPI, so the file means the same on every display; the place
        // is where the window is on the desktop.
        place->WndWidth = ScaleFromDpi(r.right - r.left, app->Dpi);
        place->WndHeight = ScaleFromDpi(r.bottom - r.top, app->Dpi);
    }
    if (app->SettingsRefused)
        return 1;
    wchar_t path[PathChars];
    if (!ProgramSettingsPath(app, path))
        return 0;
    uint32_t error = 0;
    SettingsSaveResult result = SaveSettingsFile(path, &app->Settings, &error);
    // The program goes on with the settings it has, and the user learns that they were not
    // kept: in Program Files, say, where a program with a manifest may not write.
    if (result == SettingsSaveResult::Failed || result == SettingsSaveResult::Refused)
        ReportSaveError(app, window, path, error);
    return result == SettingsSaveResult::Replaced || result == SettingsSaveResult::Refused;
}
