// The installer's custom actions, run by the package from its own tables (this DLL is never
// installed).
//
// CloseRunningProgram runs before Windows Installer checks which files are in use, on install,
// upgrade, repair and removal. It asks every copy of the program that runs from the install
// folder to exit the way Windows asks at sign-out (WM_QUERYENDSESSION, then WM_ENDSESSION with
// ENDSESSION_CLOSEAPP, as the Restart Manager does), and waits until the process has ended, so
// that the files are replaced only after the program has saved its settings. It never ends a
// process itself: a copy that does not exit is left to Windows Installer's own handling of
// files in use, and the log says so.
//
// RemoveSignInStart runs once the program has been removed (after InstallFinalize, so never
// when the removal failed or was cancelled), but not when an upgrade removes the version before
// it (Windows sets UPGRADINGPRODUCTCODE then; Wine 8 does not, so under Wine an upgrade loses
// the entry): the user's entry for starting at sign-in goes with the program it starts, so that
// Windows does not try to start a missing program at every sign-in. An entry that starts a
// copy elsewhere stays.
#include <string>
#include <vector>

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include "app/app_state.h"
#include "window/sign_in.h"

namespace {

// How long a copy may take to answer each message, and to end after the second one: saving the
// settings file takes milliseconds, but a busy or swapped-out machine may be slow.
constexpr UINT AnswerTimeoutMs = 10000;
constexpr DWORD ExitTimeoutMs = 30000;

struct Running {
    HWND Window;
    DWORD ProcessId;
};

void Log(MSIHANDLE install, const std::wstring& line) {
    PMSIHANDLE record = MsiCreateRecord(0);
    if (!record)
        return;
    std::wstring text = L"Ferrogauge: " + line;
    MsiRecordSetStringW(record, 0, text.c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
    DWORD size = 0;
    wchar_t empty[1] = L"";
    if (MsiGetPropertyW(install, name, empty, &size) != ERROR_MORE_DATA)
        return std::wstring();
    std::wstring value(size + 1, L'\0');
    size = static_cast<DWORD>(value.size());
    if (MsiGetPropertyW(install, name, &value[0], &size) != ERROR_SUCCESS)
        return std::wstring();
    value.resize(size);
    return value;
}

// The folder as a full path without a trailing backslash, for comparing.
std::wstring FolderKey(const std::wstring& folder) {
    wchar_t full[MAX_PATH * 2];
    DWORD length = GetFullPathNameW(folder.c_str(), ARRAYSIZE(full), full, nullptr);
    std::wstring key = (length > 0 && length < ARRAYSIZE(full)) ? full : folder;
    while (key.size() > 3 && (key.back() == L'\\' || key.back() == L'/'))
        key.pop_back();
    return key;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The folder the process's program file is in, or empty when it cannot be read.
std::wstring ProcessFolder(HANDLE process) {
    wchar_t image[MAX_PATH * 2];
    DWORD size = ARRAYSIZE(image);
    if (!QueryFullProcessImageNameW(process, 0, image, &size))
        return std::wstring();
    std::wstring path(image, size);
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : FolderKey(path.substr(0, slash));
}

BOOL CALLBACK CollectGraphWindow(HWND window, LPARAM found) {
    wchar_t name[ARRAYSIZE(GraphClassName) + 1];
    int length = GetClassNameW(window, name, ARRAYSIZE(name));
    if (length == ARRAYSIZE(GraphClassName) - 1 && lstrcmpW(name, GraphClassName) == 0) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != 0 && process != GetCurrentProcessId())
            reinterpret_cast<std::vector<Running>*>(found)->push_back({window, process});
    }
    return TRUE;
}

// Asks one copy to end its session; true when it has ended.
bool AskToExit(MSIHANDLE install, const Running& copy, HANDLE process) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(copy.Window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP,
                             SMTO_ABORTIFHUNG, AnswerTimeoutMs, &answer)) {
        Log(install, L"process " + std::to_wstring(copy.ProcessId) + L" did not answer");
        return false;
    }
    if (!answer) {
        // It declines; tell it the session goes on, as Windows does.
        SendMessageTimeoutW(copy.Window, WM_ENDSESSION, FALSE, ENDSESSION_CLOSEAPP,
                            SMTO_ABORTIFHUNG, AnswerTimeoutMs, &answer);
        Log(install, L"process " + std::to_wstring(copy.ProcessId) + L" declined to exit");
        return false;
    }
    SendMessageTimeoutW(copy.Window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_ABORTIFHUNG,
                        AnswerTimeoutMs, &answer);
    if (WaitForSingleObject(process, ExitTimeoutMs) != WAIT_OBJECT_0) {
        Log(install, L"process " + std::to_wstring(copy.ProcessId) + L" did not exit");
        return false;
    }
    Log(install, L"process " + std::to_wstring(copy.ProcessId) + L" exited");
    return true;
}

int CloseProgramsIn(MSIHANDLE install, const std::wstring& folder) {
    std::vector<Running> copies;
    EnumWindows(CollectGraphWindow, reinterpret_cast<LPARAM>(&copies));
    const std::wstring wanted = FolderKey(folder);
    int closed = 0;
    for (const Running& copy : copies) {
        HANDLE process =
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, copy.ProcessId);
        if (!process)
            continue;
        // A copy started from another folder (an unpacked zip, a second install) keeps running:
        // none of its files change.
        if (SameText(ProcessFolder(process), wanted) && AskToExit(install, copy, process))
            closed++;
        CloseHandle(process);
    }
    return closed;
}

// The install folder, or empty (and a line in the log) when the package has none.
std::wstring InstallFolder(MSIHANDLE install) {
    std::wstring folder = Property(install, L"INSTALLDIR");
    if (folder.empty())
        Log(install, L"no INSTALLDIR");
    return folder;
}

} // namespace

extern "C" __declspec(dllexport) UINT __stdcall CloseRunningProgram(MSIHANDLE install) {
    std::wstring folder = InstallFolder(install);
    if (folder.empty())
        return ERROR_SUCCESS;
    int closed = CloseProgramsIn(install, folder);
    Log(install, L"closed " + std::to_wstring(closed) + L" running copies in " + folder);
    // Never fails the installation: what is still running is Windows Installer's to handle.
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveSignInStart(MSIHANDLE install) {
    std::wstring folder = InstallFolder(install);
    if (folder.empty())
        return ERROR_SUCCESS;
    if (folder.back() != L'\\')
        folder += L'\\';
    std::wstring program = folder + L"ferrogauge.exe";
    if (!ReadSignInEntry(program.c_str()).Ours) {
        Log(install, L"no sign-in entry of " + program);
        return ERROR_SUCCESS;
    }
    LONG result = WriteSignInEntry(nullptr, nullptr);
    Log(install,
        L"sign-in entry of " + program + (result == ERROR_SUCCESS ? L" removed" : L" not removed"));
    return ERROR_SUCCESS;
}
