// Loading optional system libraries from the system folder only. The program's folder is
// writable by its user (the settings file lives there), and libraries that Windows does not
// always take from the system folder (pdh, winmm, uxtheme, version) would otherwise be
// picked up from beside the program.
#include "port/system_library.h"

HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;

    // Systems without the search flags: load by full path, which searches nowhere.
    wchar_t path[MAX_PATH];
    UINT folder = GetSystemDirectoryW(path, MAX_PATH);
    int nameLength = lstrlenW(name);
    if (folder == 0 || folder + 1 + nameLength >= MAX_PATH)
        return nullptr;
    path[folder] = L'\\';
    lstrcpynW(path + folder + 1, name, MAX_PATH - folder - 1);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
