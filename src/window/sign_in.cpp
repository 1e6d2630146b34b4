// The program's entry among the programs Windows starts at sign-in. Only the current user's
// Run key is written, and only when the user asks; the shell's own record of entries the user
// turned off is read, never written.
#include "window/sign_in.h"

#include "res/version.h"

namespace {

constexpr wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Task Manager's Startup tab and Settings > Apps > Startup keep here, per entry of the Run key,
// a binary value whose first byte is even while the entry is on (2) and odd once the user has
// turned it off (3), followed by the time of the change.
constexpr wchar_t ApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// The entry is named after the product, as Task Manager shows it.
constexpr const wchar_t* EntryName = ProgramTitle;
constexpr int CommandChars = 2 * MAX_PATH + 8;

bool TurnedOffByUser() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ApprovedKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    BYTE data[64];
    DWORD size = sizeof(data);
    DWORD type = 0;
    LONG result = RegQueryValueExW(key, EntryName, nullptr, &type, data, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_BINARY && size >= 1 && (data[0] & 1);
}

// The same file named two ways: letter case, and a short (8.3) name on either side.
bool SameFileName(const wchar_t* a, const wchar_t* b) {
    if (CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL)
        return true;
    wchar_t longA[MAX_PATH], longB[MAX_PATH];
    DWORD na = GetLongPathNameW(a, longA, MAX_PATH);
    DWORD nb = GetLongPathNameW(b, longB, MAX_PATH);
    return na > 0 && na < MAX_PATH && nb > 0 && nb < MAX_PATH &&
           CompareStringOrdinal(longA, -1, longB, -1, TRUE) == CSTR_EQUAL;
}

} // namespace

bool CommandStartsProgram(const wchar_t* command, const wchar_t* program) {
    if (!command || !program || !program[0])
        return false;
    const wchar_t* p = command;
    while (*p == L' ' || *p == L'\t')
        p++;
    // The program's path is the quoted text. Unquoted, Windows tries the text up to each blank
    // in turn, and then the whole text, as the program's path: any of them may be it.
    wchar_t path[MAX_PATH];
    int n = 0;
    if (*p == L'"') {
        for (p++; *p && *p != L'"'; p++) {
            if (n >= MAX_PATH - 1)
                return false;
            path[n++] = *p;
        }
        path[n] = L'\0';
        return n > 0 && SameFileName(path, program);
    }
    for (;; p++) {
        if (!*p || *p == L' ' || *p == L'\t') {
            path[n] = L'\0';
            if (n > 0 && SameFileName(path, program))
                return true;
        }
        if (!*p || n >= MAX_PATH - 1)
            return false;
        path[n++] = *p;
    }
}

SignInEntry ReadSignInEntry(const wchar_t* program) {
    SignInEntry entry = {};
    wchar_t command[CommandChars];
    DWORD size = sizeof(command);
    // A value of the expandable kind is expanded and then answers as a plain text, as the
    // shell expands it before it runs it.
    LONG result =
        RegGetValueW(HKEY_CURRENT_USER, RunKey, EntryName, RRF_RT_REG_SZ, nullptr, command, &size);
    entry.Present = result == ERROR_SUCCESS || result == ERROR_MORE_DATA;
    entry.Ours = result == ERROR_SUCCESS && CommandStartsProgram(command, program);
    // Task Manager lists only entries that are there: a mark left from an entry removed since
    // is not the user's word about the next one.
    entry.TurnedOff = entry.Present && TurnedOffByUser();
    return entry;
}

bool SignInCommand(const wchar_t* program, const wchar_t* settingsFile, wchar_t* command,
                   int capacity) {
    int need = lstrlenW(program) + 2 + (settingsFile ? lstrlenW(settingsFile) + 3 : 0) + 1;
    if (need > capacity)
        return false;
    if (settingsFile)
        wsprintfW(command, L"\"%s\" \"%s\"", program, settingsFile);
    else
        wsprintfW(command, L"\"%s\"", program);
    return true;
}

LONG WriteSignInEntry(const wchar_t* program, const wchar_t* settingsFile) {
    HKEY key;
    // The key is made only for a value to write, not to remove one.
    LONG result = program ? RegCreateKeyExW(HKEY_CURRENT_USER, RunKey, 0, nullptr, 0,
                                            KEY_SET_VALUE, nullptr, &key, nullptr)
                          : RegOpenKeyExW(HKEY_CURRENT_USER, RunKey, 0, KEY_SET_VALUE, &key);
    if (result == ERROR_FILE_NOT_FOUND && !program)
        return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS)
        return result;
    if (!program) {
        result = RegDeleteValueW(key, EntryName);
        if (result == ERROR_FILE_NOT_FOUND)
            result = ERROR_SUCCESS;
    } else {
        wchar_t command[CommandChars];
        if (!SignInCommand(program, settingsFile, command, CommandChars)) {
            result = ERROR_FILENAME_EXCED_RANGE;
        } else {
            DWORD bytes = static_cast<DWORD>((lstrlenW(command) + 1) * sizeof(wchar_t));
            result = RegSetValueExW(key, EntryName, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(command), bytes);
        }
    }
    RegCloseKey(key);
    return result;
}
