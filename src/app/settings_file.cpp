// Loading and saving the settings file of the running program: the settings argument, the
// program's own path and the window's rectangle put to the settings store, and telling the
// user when the file could not be read or saved.
#include "app/settings_file.h"

#include <shlobj.h>

#include "port/port.h"
#include "render/dpi_math.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "text/convert.h"
#include "ui/dialog_helpers.h"

namespace {

// Room for the messages and reasons in every language the program has.
constexpr int MessageChars = SettingsReasonChars;

// Whether the program may create a file in the folder of path: the save makes its new file
// there before it takes the old one's place. Under Program Files, or in a folder the user may
// only read, it may not. The file is made here rather than by GetTempFileNameW, which Wine
// answers with a name even when it could not create the file (Windows answers 0).
bool FolderTakesNewFiles(const wchar_t* path) {
    wchar_t probe[PathChars];
    lstrcpynW(probe, path, PathChars);
    int name = FileNameOffset(probe);
    if (name == 0 || name + 24 >= PathChars)
        return false;
    for (int attempt = 0; attempt < 8; attempt++) {
        wsprintfW(probe + name, L"~fgw%lx.tmp", GetCurrentProcessId() * 8 + attempt);
        HANDLE file =
            CreateFileW(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

bool FileIsThere(const wchar_t* path) {
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
        return true;
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// A file of the name at path in the user's roaming application data, in a folder of the
// program's own: %APPDATA%\Ferrogauge\ferrogauge.ini.
bool AppDataSettingsPath(wchar_t* path) {
    wchar_t* folder = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) {
        CoTaskMemFree(folder);
        return false;
    }
    const wchar_t* name = path + FileNameOffset(path);
    int length = lstrlenW(folder) + 1 + lstrlenW(ProgramTitle) + 1 + lstrlenW(name);
    bool fits = length < PathChars;
    if (fits) {
        wchar_t joined[PathChars];
        wsprintfW(joined, L"%s\\%s\\%s", folder, ProgramTitle, name);
        lstrcpyW(path, joined);
    }
    CoTaskMemFree(folder);
    return fits;
}

} // namespace

SettingsPlace FindSettingsPath(const wchar_t* argument, wchar_t* path) {
    wchar_t named[PathChars];
    if (ResolveSettingsPath(argument, L"", named)) {
        // Made whole once, so that a later change of the working folder (a file dialog may
        // make one) does not move the file.
        DWORD length = GetFullPathNameW(named, PathChars, path, nullptr);
        if (length == 0 || length >= static_cast<DWORD>(PathChars))
            lstrcpyW(path, named);
        return SettingsPlace::Argument;
    }
    wchar_t module[PathChars];
    DWORD length = GetModuleFileNameW(nullptr, module, PathChars);
    // A cut path (the result fills the buffer) names some other file.
    if (length == 0 || length >= static_cast<DWORD>(PathChars))
        module[0] = L'\0';
    if (!ResolveSettingsPath(nullptr, module, path))
        return SettingsPlace::None;
    if (FileIsThere(path))
        return SettingsPlace::Beside;
    // A file kept in the user's own folder because the program's folder refused new files stays
    // in use should that folder take files later (a run with more rights, say).
    wchar_t own[PathChars];
    lstrcpyW(own, path);
    bool ownPath = AppDataSettingsPath(own);
    if (ownPath && FileIsThere(own)) {
        lstrcpyW(path, own);
        return SettingsPlace::AppData;
    }
    // Where even the user's folder cannot be had, the file beside the program stays, and a
    // failed save says so.
    if (FolderTakesNewFiles(path) || !ownPath)
        return SettingsPlace::Beside;
    lstrcpyW(path, own);
    return SettingsPlace::AppData;
}

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
    wchar_t* text = FormatResourceText(instance, IDS_REASON_UNKNOWN, number, nullptr);
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
    wchar_t* text = FormatResourceText(app->Instance, form, path, reason);
    if (!text)
        return;
    MessageBoxW(owner, text, ProgramTitle,
                MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | (owner ? 0 : MB_TOPMOST));
    LocalFree(text);
}

} // namespace

int LoadSettings(AppState* app) {
    wchar_t path[PathChars];
    app->SettingsPlace = FindSettingsPath(app->SettingsArg, path);
    bool found = app->SettingsPlace != SettingsPlace::None;
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
    const wchar_t* path = app->SettingsPath;
    if (!path[0])
        return 0;
    // The program's folder in the user's application data is made at the first save.
    if (app->SettingsPlace == SettingsPlace::AppData) {
        wchar_t folder[PathChars];
        lstrcpynW(folder, path, PathChars);
        folder[FileNameOffset(folder)] = L'\0';
        CreateDirectoryW(folder, nullptr);
    }
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
