// A program that holds a file for a moment, as a virus scanner or a sync client does: it opens
// the file named by its first argument with no sharing at all (or shared for reading when a
// fourth argument says "read"), signals the event named by its third, holds the file for the
// milliseconds of its second, then closes it.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 4)
        return 1;
    DWORD share = argc > 4 && lstrcmpW(argv[4], L"read") == 0 ? FILE_SHARE_READ : 0;
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (ready) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    CloseHandle(file);
    return 0;
}
