// The core's platform services on Windows: thin calls of the Windows API.
#include "port/port.h"

#include <windows.h>

#include "port/file_hold.h"
#include "port/file_replace.h"
#include "port/port_test.h"

void* PortHeapAlloc(size_t bytes) {
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

void PortHeapFree(void* memory) {
    if (memory)
        HeapFree(GetProcessHeap(), 0, memory);
}

bool PortIsLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

const wchar_t* PortCharNextW(const wchar_t* text) {
    return CharNextW(text);
}

wchar_t PortToLowerWide(wchar_t ch) {
    // With a zero high word CharLowerW converts the one character held in the low word and
    // hands it back the same way, instead of treating the argument as a text.
    ULONG_PTR single = static_cast<unsigned short>(ch);
    LPWSTR lowered = CharLowerW(reinterpret_cast<LPWSTR>(single));
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(lowered) & 0xFFFF);
}

const char* PortCharNextA(const char* text) {
    return CharNextA(text);
}

bool PortSameNameA(const char* a, const char* b, int n) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, n, b, n) == CSTR_EQUAL;
}

// A capacity of 0 makes the conversion calls answer the size needed instead of converting:
// with an output, that is no room at all.
int PortAnsiToWide(const char* text, int count, wchar_t* output, int capacity) {
    if (count <= 0 || (output && capacity <= 0))
        return 0;
    return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, count, output, output ? capacity : 0);
}

int PortWideToAnsi(const wchar_t* text, int count, char* output, int capacity) {
    if (count <= 0 || (output && capacity <= 0))
        return 0;
    return WideCharToMultiByte(CP_ACP, 0, text, count, output, output ? capacity : 0, nullptr,
                               nullptr);
}

namespace {

// How long a file held by another program is tried again: settings for about two seconds,
// the alarm log, written from the sample tick, only for a moment.
constexpr DWORD SettingsRetryMs = 2000;
constexpr DWORD LogRetryMs = 200;

// Runs step until it succeeds, fails for another reason, or has waited budget milliseconds
// in all, pausing a little longer each time. The last error stays step's.
template <typename Step> bool RetryWhileHeld(DWORD budget, bool deniedToo, Step step) {
    DWORD waited = 0;
    DWORD pause = 10;
    for (;;) {
        if (step())
            return true;
        DWORD error = GetLastError();
        if (!FileHeldForAMoment(error, deniedToo) || waited >= budget) {
            SetLastError(error);
            return false;
        }
        if (pause > budget - waited)
            pause = budget - waited;
        Sleep(pause);
        waited += pause;
        pause = pause * 2 < 250 ? pause * 2 : 250;
    }
}

// Opens the file at path as CreateFileW does, trying again while another program holds it.
HANDLE OpenWhileHeld(const wchar_t* path, DWORD access, DWORD share, DWORD disposition,
                     DWORD budget, bool deniedToo) {
    HANDLE file = INVALID_HANDLE_VALUE;
    RetryWhileHeld(budget, deniedToo, [&] {
        file = CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        return file != INVALID_HANDLE_VALUE;
    });
    return file;
}

ReplaceFileProc TheReplaceFile = ReplaceFileW;
MoveFileProc TheMoveFile = MoveFileExW;

bool MoveInto(const wchar_t* from, const wchar_t* to) {
    return TheMoveFile(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Exists(const wchar_t* path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// Puts the file temp in the place of the file at path. ReplaceFileW keeps the old file's
// identity (creation time, permissions, alternate streams); it moves the old file to backup on
// its way. When it then cannot move the new one in, it says so with
// ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, the old file being under the backup name and nothing at
// path: the old file is put back and the replace tried again, or, when it cannot be put back,
// the new one, which is whole too, takes the place. A file system that cannot replace (some
// network shares) gets a plain rename, as does a file that is not there.
bool ReplaceStep(const wchar_t* path, const wchar_t* temp, const wchar_t* backup) {
    if (!Exists(path))
        return MoveInto(temp, path);
    if (TheReplaceFile(path, temp, backup,
                       REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                       nullptr)) {
        DeleteFileW(backup);
        return true;
    }
    DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        if (TheMoveFile(backup, path, MOVEFILE_WRITE_THROUGH)) {
            error = ERROR_UNABLE_TO_MOVE_REPLACEMENT; // both under their own names: held
        } else if (MoveInto(temp, path)) {
            DeleteFileW(backup);
            return true;
        }
    } else if (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
               error == ERROR_INVALID_FUNCTION) {
        return MoveInto(temp, path);
    }
    SetLastError(error);
    return false;
}

// After a replace that failed for good: the last whole copy of the settings is never deleted.
// An old file left under the backup name with nothing at path is put back; when even that
// fails, the new file is kept as well, and both stay for the user to find.
void KeepALastCopy(const wchar_t* path, const wchar_t* temp, const wchar_t* backup) {
    auto putBack = [&] { return TheMoveFile(backup, path, MOVEFILE_WRITE_THROUGH) != FALSE; };
    if (Exists(backup) && !Exists(path) && !RetryWhileHeld(SettingsRetryMs, true, putBack))
        return;
    DeleteFileW(temp);
}

void StoreError(uint32_t* error, DWORD code) {
    if (error)
        *error = code;
}

} // namespace

PortReadStatus PortReadFile(const wchar_t* path, size_t maxBytes, char** data, size_t* size,
                            uint32_t* error) {
    *data = nullptr;
    *size = 0;
    // Opening a folder answers ERROR_ACCESS_DENIED, which waiting would not change and which
    // would tell the user the wrong thing: a folder is said to be one.
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        StoreError(error, PortErrorIsFolder);
        return PortReadStatus::Unreadable;
    }
    HANDLE file =
        OpenWhileHeld(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, SettingsRetryMs, true);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        StoreError(error, code);
        // Only a file that is not there may be created later; one that is there but locked
        // or forbidden must not be replaced.
        bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
                       code == ERROR_INVALID_NAME || code == ERROR_BAD_NETPATH;
        return missing ? PortReadStatus::Missing : PortReadStatus::Unreadable;
    }
    PortReadStatus status = PortReadStatus::Unreadable;
    DWORD code = ERROR_SUCCESS;
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && (code = GetLastError()) != NO_ERROR)
        goto close_file;
    if (high != 0 || low > maxBytes) {
        status = PortReadStatus::TooLarge;
        code = ERROR_FILE_TOO_LARGE;
        goto close_file;
    }
    {
        char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, low + 1));
        if (!text) {
            code = ERROR_NOT_ENOUGH_MEMORY;
            goto close_file;
        }
        DWORD got = 0;
        bool read = ReadFile(file, text, low, &got, nullptr) != FALSE;
        if (!read || got != low) {
            code = read ? ERROR_HANDLE_EOF : GetLastError(); // a file cut meanwhile
            HeapFree(GetProcessHeap(), 0, text);
            goto close_file;
        }
        text[got] = '\0';
        *data = text;
        *size = got;
        status = PortReadStatus::Read;
    }
close_file:
    CloseHandle(file);
    if (status != PortReadStatus::Read)
        StoreError(error, code);
    return status;
}

namespace {

// What stands at a name the save is to write through.
enum class NameLeadsTo {
    Nothing,    // no file (or a folder, which the save refuses as it always has)
    File,       // the file at final
    Unresolved, // a link whose file cannot be named here: writing would replace the link
};

// The file that a save through the name at path changes, with links followed (a symbolic link
// or a junction on the way names another file), at final, and how many names that file has.
NameLeadsTo FileBehindName(const wchar_t* path, wchar_t* final, DWORD* links) {
    HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A link whose file is gone (or out of reach) still has its own attributes on Windows;
        // a save must not put a file in its place.
        DWORD attributes = GetFileAttributesW(path);
        bool link =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        return link ? NameLeadsTo::Unresolved : NameLeadsTo::Nothing;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(file);
        return NameLeadsTo::Nothing;
    }
    *links = info.nNumberOfLinks;
    wchar_t full[MAX_PATH + 8];
    DWORD n =
        GetFinalPathNameByHandleW(file, full, MAX_PATH + 8, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(file);
    // The answer comes with the prefix of long paths, which the calls below need not see:
    // "\\?\C:\..." and "\\?\UNC\server\share\...". A file that cannot be named that way
    // (a path too long, a volume without a letter) is written through the name as given only
    // when that name is no link.
    bool named = n > 0 && n < MAX_PATH + 8;
    const wchar_t* name = full;
    bool unc = false;
    if (named && CompareStringOrdinal(full, 8, L"\\\\?\\UNC\\", 8, TRUE) == CSTR_EQUAL) {
        name = full + 7;
        unc = true;
    } else if (named && CompareStringOrdinal(full, 4, L"\\\\?\\", 4, FALSE) == CSTR_EQUAL) {
        name = full + 4;
    }
    if (!named || lstrlenW(name) + (unc ? 1 : 0) >= MAX_PATH) {
        DWORD attributes = GetFileAttributesW(path);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return NameLeadsTo::Unresolved;
        lstrcpynW(final, path, MAX_PATH);
        return NameLeadsTo::File;
    }
    if (unc) {
        final[0] = L'\\';
        lstrcpyW(final + 1, name);
    } else {
        lstrcpyW(final, name);
    }
    return NameLeadsTo::File;
}

// Writes the size bytes of data at the file's position, in pieces WriteFile takes.
bool WriteAll(HANDLE file, const char* data, size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!WriteFile(file, data, chunk, &done, nullptr))
            return false;
        if (done != chunk) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += chunk;
        size -= chunk;
    }
    return true;
}

// Copies the file at path to path + ".bak", or, when a file of that name is there already (the
// user's own, or the copy of a write that failed), to path + ".1.bak" ... ".9.bak": a file
// that is there is never written over. The copy's name is left at copy.
bool CopyBeside(const wchar_t* path, wchar_t* copy) {
    for (int n = 0; n < 10; n++) {
        if (n == 0)
            wsprintfW(copy, L"%s.bak", path);
        else
            wsprintfW(copy, L"%s.%d.bak", path, n);
        if (RetryWhileHeld(SettingsRetryMs, true, [&] { return CopyFileW(path, copy, TRUE); }))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

// Writes data over the file at path in place, keeping its identity and so every other name it
// has: a hard-linked file replaced by a new one would be cut off from its other names. The old
// contents are copied beside it first, so that a write that fails part-way leaves a whole copy;
// the copy goes once the new contents are on disk.
bool WriteInPlace(const wchar_t* path, const char* data, size_t size) {
    wchar_t copy[MAX_PATH + 8];
    if (!CopyBeside(path, copy))
        return false;
    HANDLE file =
        OpenWhileHeld(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, SettingsRetryMs, true);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = WriteAll(file, data, size) && SetEndOfFile(file) && FlushFileBuffers(file);
    DWORD code = GetLastError();
    written = CloseHandle(file) && written;
    if (!written) {
        SetLastError(code);
        return false;
    }
    DeleteFileW(copy);
    return true;
}

} // namespace

bool PortReplaceFile(const wchar_t* givenPath, const char* data, size_t size, uint32_t* error) {
    // A save changes the file the name leads to: a link on the way stays a link, and a file
    // with other names keeps them.
    wchar_t final[MAX_PATH];
    DWORD links = 1;
    NameLeadsTo behind = FileBehindName(givenPath, final, &links);
    if (behind == NameLeadsTo::Unresolved) {
        StoreError(error, ERROR_CANT_RESOLVE_FILENAME);
        return false;
    }
    const wchar_t* path = behind == NameLeadsTo::File ? final : givenPath;

    // The new file is made in the folder of the old one, so that moving it over the old one
    // is a rename on the same volume: the settings file is either the old or the new one.
    wchar_t folder[MAX_PATH];
    int end = 0;
    int n = 0;
    for (; path[n]; n++) {
        if (n >= MAX_PATH - 1) {
            StoreError(error, ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        folder[n] = path[n];
        if (path[n] == L'\\' || path[n] == L'/' || path[n] == L':')
            end = n + 1;
    }
    if (end == 0) {
        folder[0] = L'.';
        end = 1;
    }
    folder[end] = L'\0';

    // A file marked read-only is the user's word that it must not change; renaming over it
    // would otherwise succeed on some file systems.
    DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        StoreError(error, ERROR_ACCESS_DENIED);
        return false;
    }

    if (links > 1) {
        if (lstrlenW(path) + 6 >= MAX_PATH) {
            StoreError(error, ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        if (WriteInPlace(path, data, size))
            return true;
        StoreError(error, GetLastError());
        return false;
    }

    wchar_t temp[MAX_PATH];
    if (!GetTempFileNameW(folder, L"fgs", 0, temp)) {
        StoreError(error, GetLastError());
        return false;
    }
    bool written = false;
    HANDLE file =
        CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        written = WriteAll(file, data, size);
        written = FlushFileBuffers(file) && written;
        DWORD code = GetLastError();
        written = CloseHandle(file) && written;
        SetLastError(code);
    }
    // The user's marks (hidden, say) go with the new file, which is marked for backup as any
    // changed file is.
    constexpr DWORD KeptAttributes =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (written && attributes != INVALID_FILE_ATTRIBUTES && (attributes & KeptAttributes))
        SetFileAttributesW(temp, (attributes & KeptAttributes) | FILE_ATTRIBUTE_ARCHIVE);
    // The old file's name on its way out: beside the new one, with a mark of its own.
    wchar_t backup[MAX_PATH + 1];
    lstrcpyW(backup, temp);
    lstrcatW(backup, L"~");
    if (written && RetryWhileHeld(SettingsRetryMs, true,
                                  [&] { return ReplaceStep(path, temp, backup); }))
        return true;
    DWORD code = GetLastError();
    StoreError(error, code);
    KeepALastCopy(path, temp, backup);
    return false;
}

void UseFileReplaceCalls(ReplaceFileProc replace, MoveFileProc move) {
    TheReplaceFile = replace ? replace : ReplaceFileW;
    TheMoveFile = move ? move : MoveFileExW;
}

bool FileHeldForAMoment(uint32_t error, bool deniedToo) {
    // ReplaceFileW reports a hold of either file as ERROR_UNABLE_TO_REMOVE_REPLACED or, given a
    // backup name, ERROR_UNABLE_TO_MOVE_REPLACEMENT.
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
           (deniedToo && error == ERROR_ACCESS_DENIED);
}

namespace {

// A tick count a test has fixed, so that durations are tested without waiting.
bool TickFixed;
uint32_t FixedTick;

} // namespace

uint32_t PortTickCount() {
    return TickFixed ? FixedTick : GetTickCount();
}

void PortSetTickCount(uint32_t ms) {
    TickFixed = true;
    FixedTick = ms;
}

void PortUseSystemTickCount() {
    TickFixed = false;
}

void PortLocalTime(PortTime* time) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    *time = {now.wYear,   now.wMonth,  now.wDay,         now.wHour,
             now.wMinute, now.wSecond, now.wMilliseconds};
}

namespace {

SYSTEMTIME ToSystemTime(const PortTime* time) {
    SYSTEMTIME s = {};
    s.wYear = time->year;
    s.wMonth = time->month;
    s.wDay = time->day;
    s.wHour = time->hour;
    s.wMinute = time->minute;
    s.wSecond = time->second;
    s.wMilliseconds = time->milliseconds;
    return s;
}

unsigned beepCount = 0;

} // namespace

int PortShortDateText(const PortTime* time, wchar_t* output, int capacity) {
    SYSTEMTIME s = ToSystemTime(time);
    int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &s, nullptr, output, capacity);
    return n > 0 ? n - 1 : 0;
}

int PortTimeText(const PortTime* time, wchar_t* output, int capacity) {
    SYSTEMTIME s = ToSystemTime(time);
    int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &s, nullptr, output, capacity);
    return n > 0 ? n - 1 : 0;
}

void PortBeep() {
    beepCount++;
    MessageBeep(0);
}

unsigned PortBeepCount() {
    return beepCount;
}

size_t PortAppendFile(const wchar_t* path, const char* data, size_t size) {
    // Shared for reading, so that a log viewer holding the file open does not lose a line,
    // and for writing, so that two programs appending to one log do not refuse each other.
    // A lock is waited for; a log the user may not write is not.
    HANDLE file = OpenWhileHeld(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                OPEN_ALWAYS, LogRetryMs, false);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    if (!WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr))
        written = 0;
    CloseHandle(file);
    return written;
}
