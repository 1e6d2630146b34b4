// The host's accounting files, read whole into one text buffer.
#include "counters/host_files.h"

#include "counters/proc_figures.h"

// The text of one file at a time, read again at every collection; the accounting files are
// a few kilobytes, and a longer one is taken up to its last whole line.
char HostText[65536];

long ReadHostFile(HostFile file) {
    HANDLE handle = CreateFileW(TheHostSource.Path[file], GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    // The kernel's files report no size: read until the end.
    DWORD total = 0;
    bool failed = false;
    while (total < sizeof HostText) {
        DWORD got = 0;
        if (!ReadFile(handle, HostText + total, static_cast<DWORD>(sizeof HostText - total), &got,
                      nullptr)) {
            failed = true;
            break;
        }
        if (got == 0)
            break;
        total += got;
    }
    CloseHandle(handle);
    if (failed)
        return -1;
    return static_cast<long>(WholeLinesLength(HostText, total, total == sizeof HostText));
}
