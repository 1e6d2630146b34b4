// The settings file of the running program on a real disk: its path from the program's own
// file name or the argument, the save from the window, and files another program holds open.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/settings_file.h"
#include "port/file_hold.h"
#include "port/file_replace.h"
#include "port/port.h"
#include "settings/settings_store.h"
#include "test_support.h"

namespace {

std::wstring ModuleSettingsPath() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n - 3) + L"ini";
}

// Files in the folder of path whose names start with the save's temporary prefix.
int TemporaryFilesBeside(const std::wstring& path) {
    std::wstring pattern = path.substr(0, path.find_last_of(L"\\/") + 1) + L"fgs*";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        count++;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

// Starts hold_file.exe (beside the tests) on path for ms milliseconds, with no sharing or
// shared for reading, and returns its process once it holds the file.
HANDLE HoldFileFor(const std::wstring& path, int ms, bool readable = false) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring holder(self);
    holder = holder.substr(0, holder.find_last_of(L'\\') + 1) + L"hold_file.exe";
    const wchar_t* eventName = L"FerroHoldFileReady";
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName);
    std::wstring command = L"\"" + holder + L"\" \"" + path + L"\" " + std::to_wstring(ms) + L" " +
                           eventName + (readable ? L" read" : L"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(holder.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        CloseHandle(ready);
        return nullptr;
    }
    CloseHandle(process.hThread);
    HANDLE both[] = {ready, process.hProcess};
    // It holds the file, or it has ended without (then the test's checks fail).
    WaitForMultipleObjects(2, both, FALSE, INFINITE);
    CloseHandle(ready);
    return process.hProcess;
}

class SettingsFile : public testing::Test {
protected:
    void SetUp() override {
        app = new AppState();
        app->SettingsArg = L"";
        app->Instance = GetModuleHandleW(nullptr);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"ferro settings.d";
        CreateDirectoryW(folder.c_str(), nullptr);
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 120, 130, 150, 40, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        for (CounterSlot& slot : app->Settings.Slot) {
            PortHeapFree(slot.AlarmFile);
            PortHeapFree(slot.AlarmOption);
        }
        delete app;
        DeleteFileW((folder + L"\\mon.INI").c_str());
        RemoveDirectoryW(folder.c_str());
    }
    AppState* app = nullptr;
    std::wstring folder;
    HWND window = nullptr;
};

// A quoted argument names the file too: the sign-in entry quotes it, as Windows quotes a path
// with blanks.
TEST_F(SettingsFile, ProgramsOwnNameGivesThePathUnlessTheArgumentNamesAnIniFile) {
    WriteFileBytes(ModuleSettingsPath(), "[MAIN]\r\nInterval=500\r\n");
    std::wstring named = folder + L"\\mon.INI";
    WriteFileBytes(named, "[MAIN]\r\nInterval=700\r\n");
    std::wstring quoted = L"\"" + named + L"\"";
    std::wstring tooLong = folder + L"\\" + std::wstring(260, L'x') + L".ini";
    struct Case {
        std::wstring argument;
        uint32_t interval;
    };
    const Case cases[] = {
        {L"", 500}, {named, 700}, {quoted, 700}, {folder + L"\\mon.txt", 500}, {tooLong, 500}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.argument.begin(), c.argument.end()).substr(0, 80));
        app->SettingsArg = c.argument.c_str();
        EXPECT_EQ(LoadSettings(app), 1);
        EXPECT_EQ(app->Settings.Main.Interval, c.interval);
    }
    DeleteFileW(ModuleSettingsPath().c_str());
    app->SettingsArg = L"";
    EXPECT_EQ(LoadSettings(app), 0);
    EXPECT_EQ(app->Settings.Main.Interval, 1000u);
}

// A file named by a relative argument is made whole at start: a file dialog that changes the
// working folder later does not move it.
TEST_F(SettingsFile, ARelativeArgumentNamesTheFileOfTheWorkingFolderAtStart) {
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(folder.c_str());
    app->SettingsArg = L"mon.INI";
    LoadSettings(app);
    SetCurrentDirectoryW(before);
    EXPECT_EQ(app->SettingsPlace, SettingsPlace::Argument);
    EXPECT_EQ(std::wstring(app->SettingsPath), folder + L"\\mon.INI");
    EXPECT_EQ(SaveSettings(app, window), 0) << "created";
    EXPECT_FALSE(ReadFileBytes(folder + L"\\mon.INI").empty());
}

// A settings file with a second name (a hard link, as package managers keep settings across
// updates) is written through in place: both names hold the new text, the file keeps both,
// and the copy made for a failure on the way is gone.
TEST_F(SettingsFile, AHardLinkedFileIsWrittenThroughAndKeepsItsOtherName) {
    std::wstring named = folder + L"\\mon.INI";
    std::wstring other = folder + L"\\other name.ini";
    WriteFileBytes(named, "; mine\r\n[MAIN]\r\nInterval=700\r\n");
    // A copy of the user's own by the name the save's copy would take: never written over.
    WriteFileBytes(named + L".bak", "the user's");
    ASSERT_TRUE(CreateHardLinkW(other.c_str(), named.c_str(), nullptr));
    app->SettingsArg = named.c_str();
    ASSERT_EQ(LoadSettings(app), 1);
    app->Settings.Main.Interval = 900;
    EXPECT_EQ(SaveSettings(app, window), 1);
    std::string text = ReadFileBytes(other);
    EXPECT_NE(text.find("; mine\r\n"), std::string::npos);
    EXPECT_NE(text.find("Interval=900"), std::string::npos) << text;
    EXPECT_EQ(ReadFileBytes(named), text);
    HANDLE file = CreateFileW(named.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info = {};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    EXPECT_EQ(info.nNumberOfLinks, 2u);
    EXPECT_EQ(ReadFileBytes(named + L".bak"), "the user's");
    EXPECT_EQ(GetFileAttributesW((named + L".1.bak").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(TemporaryFilesBeside(named), 0);
    // Shorter contents leave nothing of the longer ones behind.
    app->Settings.Main.Interval = 1;
    SaveSettings(app, window);
    std::string shorter = ReadFileBytes(other);
    EXPECT_EQ(shorter.size(), text.size() - 2) << shorter;
    EXPECT_NE(shorter.find("Interval=1\r\n"), std::string::npos) << shorter;
    DeleteFileW(other.c_str());
    DeleteFileW((named + L".bak").c_str());
}

TEST_F(SettingsFile, SaveTakesThePlaceFromTheWindow) {
    std::wstring named = folder + L"\\mon.INI";
    app->SettingsArg = named.c_str();
    LoadSettings(app);
    EXPECT_EQ(SaveSettings(app, window), 0) << "there was no file";
    std::string saved = ReadFileBytes(named);
    EXPECT_NE(saved.find("WndPosX=120\r\nWndPosY=130\r\nWndWidth=150\r\nWndHeight=40\r\n"),
              std::string::npos)
        << saved;
    EXPECT_EQ(app->Settings.Place.WndPosX, 120);
    EXPECT_EQ(SaveSettings(app, window), 1) << "now there is one";
    EXPECT_EQ(TemporaryFilesBeside(named), 0);
}

TEST_F(SettingsFile, FileHeldOpenByAnotherProgramIsLeftAlone) {
    std::wstring named = folder + L"\\mon.INI";
    app->SettingsArg = named.c_str();
    const std::string before = "[MAIN]\r\nInterval=500\r\n";
    struct Case {
        const char* what;
        DWORD share;
        int loaded;
    };
    // Readable but not replaceable, and not even readable. The save that fails is reported.
    MessageBoxAnswerer boxes;
    const Case cases[] = {{"shared for reading", FILE_SHARE_READ, 1}, {"not shared", 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(named, before);
        HANDLE held =
            CreateFileW(named.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(LoadSettings(app), c.loaded);
        app->Settings.Main.Interval = 900;
        SaveSettings(app, window);
        CloseHandle(held);
        EXPECT_EQ(ReadFileBytes(named), before);
        EXPECT_EQ(TemporaryFilesBeside(named), 0) << "the new file was removed";
    }

    // Refused at start-up, free again at exit: the file the user had is still not written.
    WriteFileBytes(named, before);
    HANDLE locked = CreateFileW(named.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(LoadSettings(app), 0);
    EXPECT_EQ(app->Settings.Main.Interval, 1000u) << "the defaults";
    CloseHandle(locked);
    EXPECT_EQ(SaveSettings(app, window), 1);
    EXPECT_EQ(SaveSettings(app, window), 1) << "after the settings window too";
    EXPECT_EQ(ReadFileBytes(named), before);
    // A folder where the file should be, later replaced by a file, is the same case.
    DeleteFileW(named.c_str());
    ASSERT_TRUE(CreateDirectoryW(named.c_str(), nullptr));
    EXPECT_EQ(LoadSettings(app), 0);
    RemoveDirectoryW(named.c_str());
    WriteFileBytes(named, before);
    SaveSettings(app, window);
    EXPECT_EQ(ReadFileBytes(named), before);
    // The next start reads it, and its saves write again.
    EXPECT_EQ(LoadSettings(app), 1);
    app->Settings.Main.Interval = 900;
    SaveSettings(app, window);
    EXPECT_NE(ReadFileBytes(named).find("Interval=900"), std::string::npos);

    // A read-only file is not replaced either.
    WriteFileBytes(named, before);
    SetFileAttributesW(named.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(SaveSettingsFile(named.c_str(), &app->Settings), SettingsSaveResult::Failed);
    SetFileAttributesW(named.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(named), before);
    EXPECT_EQ(TemporaryFilesBeside(named), 0);
}

// A virus scanner or a sync client holds a file for a moment after it was written: the read
// and the replace wait for it instead of giving up, and the replaced file keeps its attributes.
TEST_F(SettingsFile, AFileHeldForAMomentIsReadAndReplacedOnceFree) {
    std::wstring named = folder + L"\\mon.INI";
    app->SettingsArg = named.c_str();
    WriteFileBytes(named, "[MAIN]\r\nInterval=500\r\n");
    SetFileAttributesW(named.c_str(), FILE_ATTRIBUTE_HIDDEN);
    MessageBoxAnswerer boxes;

    HANDLE holder = HoldFileFor(named, 500);
    ASSERT_NE(holder, nullptr);
    DWORD start = GetTickCount();
    EXPECT_EQ(LoadSettings(app), 1);
    EXPECT_FALSE(app->SettingsRefused);
    EXPECT_EQ(app->Settings.Main.Interval, 500u);
    std::printf("[ figures  ] read after a hold of 500 ms: %lu ms\n", GetTickCount() - start);
    WaitForSingleObject(holder, INFINITE);
    CloseHandle(holder);

    // Readable meanwhile: the save reads it at once, and its replace waits.
    holder = HoldFileFor(named, 500, true);
    ASSERT_NE(holder, nullptr);
    app->Settings.Main.Interval = 900;
    start = GetTickCount();
    EXPECT_EQ(SaveSettings(app, window), 1);
    std::printf("[ figures  ] saved after a hold of 500 ms: %lu ms\n", GetTickCount() - start);
    WaitForSingleObject(holder, INFINITE);
    CloseHandle(holder);
    EXPECT_NE(ReadFileBytes(named).find("Interval=900"), std::string::npos);
    EXPECT_TRUE(GetFileAttributesW(named.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(TemporaryFilesBeside(named), 0);
    EXPECT_TRUE(boxes.Texts().empty());
    SetFileAttributesW(named.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A folder the program may not write (here the host's /proc, which no one may write, since the
// tests may run with every right on the host's own folders): the save fails, and the user is
// told once, with the path and the system's reason.
TEST_F(SettingsFile, AFailedSaveIsReportedOncePerRun) {
    const wchar_t named[] = L"Z:\\proc\\ferrogauge.ini";
    app->SettingsArg = named;
    EXPECT_EQ(LoadSettings(app), 0);
    MessageBoxAnswerer boxes;
    EXPECT_EQ(SaveSettings(app, window), 0);
    EXPECT_EQ(SaveSettings(app, window), 0);
    ASSERT_EQ(boxes.Texts().size(), 1u) << "once per run";
    const std::wstring text = boxes.Texts()[0];
    EXPECT_EQ(
        text.rfind(L"設定ファイルを保存できませんでした。\r\n\r\nZ:\\proc\\ferrogauge.ini\r\n\r\n",
                   0),
        0u)
        << std::string(text.begin(), text.end());
    // The reason is the one the system gives for a new file in that folder.
    HANDLE refused =
        CreateFileW(L"Z:\\proc\\fgs.tmp", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_EQ(refused, INVALID_HANDLE_VALUE);
    DWORD error = GetLastError();
    wchar_t reason[256];
    ASSERT_GT(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, reason, 256, nullptr),
              0u);
    EXPECT_NE(text.find(reason), std::wstring::npos) << "the system's reason, error " << error;
}

// A file refused at start is reported once the program runs, with its path and why, in the
// program's own words where it found the reason itself; the saves then write nothing and say
// nothing more.
TEST_F(SettingsFile, AFileRefusedAtStartIsReportedWithItsReason) {
    std::wstring named = folder + L"\\mon.INI";
    app->SettingsArg = named.c_str();
    struct Case {
        const char* what;
        std::string bytes; // empty: a folder
        const wchar_t* reason;
    };
    const Case cases[] = {
        {"too large", std::string(65536, ';'), L"ファイルが 64 KB を超えています。"},
        {"a zero byte", std::string("[MAIN]\0", 7), L"ファイルに値が 0 のバイトがあります。"},
        {"UTF-16 cut short", std::string("\xFF\xFE[\0M", 5),
         L"UTF-16 のファイルが文字の途中で終わっています。"},
        {"a folder", "", L"ファイルではなくフォルダーです。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileW(named.c_str());
        if (c.bytes.empty())
            ASSERT_TRUE(CreateDirectoryW(named.c_str(), nullptr));
        else
            WriteFileBytes(named, c.bytes);
        MessageBoxAnswerer boxes;
        EXPECT_EQ(LoadSettings(app), 0);
        ReportReadError(app);
        SaveSettings(app, window);
        ASSERT_EQ(boxes.Texts().size(), 1u);
        const std::wstring text = boxes.Texts()[0];
        EXPECT_EQ(text.rfind(L"設定ファイルを読み込めませんでした。\r\n\r\n" + named + L"\r\n\r\n" +
                                 c.reason,
                             0),
                  0u)
            << std::string(text.begin(), text.end());
        EXPECT_NE(text.find(L"設定の変更は保存しません"), std::wstring::npos);
        if (c.bytes.empty())
            RemoveDirectoryW(named.c_str());
        else
            EXPECT_EQ(ReadFileBytes(named), c.bytes);
    }
    // A file that was read says nothing.
    WriteFileBytes(named, "[MAIN]\r\nInterval=500\r\n");
    MessageBoxAnswerer boxes;
    EXPECT_EQ(LoadSettings(app), 1);
    ReportReadError(app);
    EXPECT_TRUE(boxes.Texts().empty());
}

// The reasons the system has no words for are given in the program's: the save that would make
// the file too large to be read back, and a code the system does not know.
TEST_F(SettingsFile, ReasonsTheSystemCannotWordAreTheProgramsOwn) {
    std::wstring named = folder + L"\\mon.INI";
    app->SettingsArg = named.c_str();
    const std::string user = "[User]\r\n" + std::string(65000, ';') + "\r\n";
    WriteFileBytes(named, user);
    EXPECT_EQ(LoadSettings(app), 1);
    MessageBoxAnswerer boxes;
    SaveSettings(app, window);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find(L"\r\n\r\n設定を書き込むとファイルが 64 KB を超え、"),
              std::wstring::npos);
    EXPECT_EQ(ReadFileBytes(named), user);

    // A file that has grown too large since the start is refused for what it is.
    const std::string grown = "[MAIN]\r\n" + std::string(70000, ';');
    WriteFileBytes(named, grown);
    app->SaveErrorShown = false;
    SaveSettings(app, window);
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_NE(boxes.Texts()[1].find(L"\r\n\r\nファイルが 64 KB を超えています。"),
              std::wstring::npos);
    EXPECT_EQ(ReadFileBytes(named), grown);

    wchar_t reason[512];
    SettingsErrorReason(app->Instance, 0x20000001, true, reason);
    EXPECT_STREQ(reason, L"Windows から理由は返されませんでした (エラー 536870913)。");
}

// Which of Windows' answers the file calls wait out: Wine never gives a held file the answers
// Windows gives most (a scanner or a sync client holding the settings file makes ReplaceFileW
// answer ERROR_UNABLE_TO_REMOVE_REPLACED), so the list is checked against Windows' codes.
TEST(FileHold, TheAnswersOfAFileHeldForAMomentAreWaitedOut) {
    struct Case {
        DWORD error;
        bool waited, waitedIfDeniedCounts;
    };
    const Case cases[] = {
        {ERROR_SHARING_VIOLATION, true, true},
        {ERROR_LOCK_VIOLATION, true, true},
        {ERROR_UNABLE_TO_REMOVE_REPLACED, true, true},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT, true, true},
        {ERROR_ACCESS_DENIED, false, true},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, false, false}, // the old file is put back instead
        {ERROR_FILE_NOT_FOUND, false, false},
        {ERROR_PATH_NOT_FOUND, false, false},
        {ERROR_DISK_FULL, false, false},
        {ERROR_WRITE_PROTECT, false, false},
        {ERROR_SUCCESS, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(FileHeldForAMoment(c.error, false), c.waited);
        EXPECT_EQ(FileHeldForAMoment(c.error, true), c.waitedIfDeniedCounts);
    }
}

// ReplaceFileW as its documentation describes ERROR_UNABLE_TO_MOVE_REPLACEMENT_2
// (learn.microsoft.com, "ReplaceFileW function (winbase.h)", Return value): the old file was
// moved to the backup name, then the new one could not be moved in; for the first
// StrandedReplaces calls. MoveFileExW refuses the first RefusedMoves calls as a write-protected
// disk does. Both do the real thing otherwise.
int StrandedReplaces = 0;
int RefusedMoves = 0;

BOOL WINAPI StrandingReplace(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags,
                             LPVOID exclude, LPVOID reserved) {
    if (StrandedReplaces > 0) {
        StrandedReplaces--;
        if (!MoveFileExW(replaced, backup, MOVEFILE_REPLACE_EXISTING))
            return FALSE;
        SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
        return FALSE;
    }
    return ReplaceFileW(replaced, replacement, backup, flags, exclude, reserved);
}

BOOL WINAPI RefusingMove(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (RefusedMoves > 0) {
        RefusedMoves--;
        SetLastError(ERROR_WRITE_PROTECT);
        return FALSE;
    }
    return MoveFileExW(from, to, flags);
}

// The contents of the save's temporary files beside path, each once.
std::vector<std::string> TemporaryContents(const std::wstring& path) {
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    std::vector<std::string> contents;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"fgs*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return contents;
    do
        contents.push_back(ReadFileBytes(folder + found.cFileName));
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(contents.begin(), contents.end());
    return contents;
}

// A replace that strands the old file under the backup name never loses the settings: the old
// file is put back (and the replace tried again) or the new one takes its place, and when
// neither can be moved, both stay on disk.
TEST_F(SettingsFile, AReplaceThatStrandsTheOldFileNeverLeavesNoSettingsFile) {
    std::wstring path = folder + L"\\mon.INI";
    struct Case {
        const char* what;
        int stranded, refused;
        bool saved;
        const char* left; // at path; null: no file there
        std::vector<std::string> beside;
    };
    const Case cases[] = {
        {"put back, then replaced", 1, 0, true, "new", {}},
        {"not put back: the new one moved in", 1, 1, true, "new", {}},
        {"neither moved at once: the old one put back at last", 1, 2, false, "old", {}},
        {"stranded at every try: the old one put back", 1000, 0, false, "old", {}},
        {"nothing can be moved: both kept", 1, 1000, false, nullptr, {"new", "old"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(path, "old");
        StrandedReplaces = c.stranded;
        RefusedMoves = c.refused;
        UseFileReplaceCalls(StrandingReplace, RefusingMove);
        uint32_t error = 0;
        bool saved = PortReplaceFile(path.c_str(), "new", 3, &error);
        UseFileReplaceCalls(nullptr, nullptr);
        EXPECT_EQ(saved, c.saved);
        if (!saved) {
            EXPECT_NE(error, 0u) << "a failure is reported as one";
        }
        if (c.left)
            EXPECT_EQ(ReadFileBytes(path), c.left);
        else
            EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(TemporaryContents(path), c.beside);
        // Clean up for the next case.
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\fgs*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
}

} // namespace
