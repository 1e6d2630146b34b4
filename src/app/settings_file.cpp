// Loading and saving the settings file of the running program: the settings argument, the
// program's own path and the window's rectangle put to the settings store, and telling the
// user when the file could not be read or saved.
#include "app/settings_file.h"

#include "port/port.h"
#include "render/dpi_math.h"
#include "res/resource.h"
#include "settings/settings_store.h"

namespace {

// Room for the messages and reasons in every language the program has.
constexpr int MessageChars = SettingsReasonChars;

int ProgramSettingsPath(const AppState* app, wchar_t* path) {
    wchar_t module[PathChars];
    DWORD length = GetModuleFileNameW(nullptr, module, PathChars);
    // A cut path (the result fills the buffer) names some other file.
    if (length == 0 || length >= static_cast<DWORD>(PathChars))
        module[0] = L'\0';
    return ResolveSettingsPath(app->SettingsArg, module, path);
}

// form of the string table with its inserts, as a new text the caller frees with LocalFree;
// null when it cannot be had.
wchar_t* FormatText(HINSTANCE instance, UINT form, const wchar_t* first, const wchar_t* second) {
    wchar_t pattern[MessageChars];
    if (LoadStringW(instance, form, pattern, MessageChars) <= 0)
        return nullptr;
    const DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(first),
                                 reinterpret_cast<DWORD_PTR>(second)};
    wchar_t* text = nullptr;
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                            FORMAT_MESSAGE_ARGUMENT_ARRAY,
                        pattern, 0, 0, reinterpret_cast<LPWSTR>(&text), 0,
                        reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(inserts))))
        return nullptr;
    return text;
}

} // namespace

void SettingsErrorReason(HINSTANCE instance, uint32_t error, bool writing, wchar_t* reason) {
    UINT own = 0;
    switch (error) {
    case PortErrorFileTooLarge:
        own = writing ? IDS_REASON_SAVE_TOO_LARGE : IDS_REASON_TOO_LARGE;
        break;
    case PortErrorInvalidData:
        own = IDS_REASON_ZERO_BYTE;
        break;
    case PortErrorIsFolder:
        own = IDS_REASON_FOLDER;
        break;
    case PortErrorNoUnicodeTranslation:
        own = IDS_REASON_CUT_UNICODE;
        break;
    default:
        break;
    }
    if (own && LoadStringW(instance, own, reason, MessageChars) > 0)
        return;
    if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, reason, MessageChars, nullptr))
        return;
    wchar_t number[16];
    wsprintfW(number, L"%lu", static_cast<unsigned long>(error));
    wchar_t* text = FormatText(instance, IDS_REASON_UNKNOWN, number, nullptr);
    lstrcpynW(reason, text ? text : number, MessageChars);
    LocalFree(text);
}

namespace {

// Tells the user, in a message box of form owned by owner (none: the box stands on its own, above
// the topmost graph window), that the file at path could not be read or saved, and why; writing
// says that the reason is the new file's, not the one on disk.
void ShowFileError(AppState* app, HWND owner, UINT form, const wchar_t* path, uint32_t error,
                   bool writing) {
    wchar_t reason[MessageChars];
    SettingsErrorReason(app->Instance, error, writing, reason);
    wchar_t* text = FormatText(app->Instance, form, path, reason);
    if (!text)
        return;
    MessageBoxW(owner, text, ProgramTitle,
                MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | (owner ? 0 : MB_TOPMOST));
    LocalFree(text);
}

} // namespace

int LoadSettings(AppState* app) {
    wchar_t path[PathChars];
    bool found = ProgramSettingsPath(app, path);
    SettingsFileStatus status;
    uint32_t error = 0;
    int read = LoadSettingsFile(found ? path : nullptr, &app->Settings, app->Run, &status, &error);
    app->SettingsRefused = status == SettingsFileStatus::Refused;
    lstrcpynW(app->SettingsPath, found ? path : L"", PathChars);
    app->SettingsReadError = app->SettingsRefused ? error : 0;
    return read;
}

void ReportReadError(AppState* app) {
    // A box of its own, owning nothing: the program goes on meanwhile, and a counter error
    // shown over the graph window while it waits does not nest in it.
    if (app->SettingsRefused && app->SettingsPath[0])
        ShowFileError(app, nullptr, IDS_READ_ERROR, app->SettingsPath, app->SettingsReadError,
                      false);
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
    // The user was told at start that the file is left as it is.
    if (app->SettingsRefused)
        return 1;
    wchar_t path[PathChars];
    if (!ProgramSettingsPath(app, path))
        return 0;
    uint32_t error = 0;
    SettingsSaveResult result = SaveSettingsFile(path, &app->Settings, &error);
    // The program goes on with the settings it has, and the user learns, once a run, that they
    // were not kept: in Program Files, say, where a program with a manifest may not write.
    if ((result == SettingsSaveResult::Failed || result == SettingsSaveResult::Refused) &&
        !app->SaveErrorShown) {
        app->SaveErrorShown = true;
        // A hidden window (on its way out at the save at exit) owns no message box. A refused
        // file is refused for what it is now, not for what the save would have made of it.
        ShowFileError(app, IsWindowVisible(window) ? window : nullptr, IDS_SAVE_ERROR, path, error,
                      result == SettingsSaveResult::Failed);
    }
    return result == SettingsSaveResult::Replaced || result == SettingsSaveResult::Refused;
}
