// A program that alarm actions start in the tests: it appends its command line and its working
// directory, one line each, to the file named by FERRO_RECORD (UTF-16, no byte-order mark).
#include <windows.h>

int wmain() {
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"FERRO_RECORD", path, MAX_PATH))
        return 1;
    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    const wchar_t* parts[] = {GetCommandLineW(), L"\n", folder, L"\n"};
    for (const wchar_t* part : parts) {
        DWORD done = 0;
        WriteFile(file, part, lstrlenW(part) * sizeof(wchar_t), &done, nullptr);
    }
    CloseHandle(file);
    return 0;
}
