// The alarm actions on the real platform: the log file, a started program and its folder, a
// file opened through the shell, the beep on failure, and the sound library.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "alarm/alarm_action.h"
#include "alarm/alarm_eval.h"
#include "alarm/alarm_text.h"
#include "loaded_records.h"
#include "port/port.h"
#include "test_support.h"
#include "text/convert.h"
#include "window/tray.h"

namespace {

const AlarmContext NoTray = {nullptr, 0, nullptr};

std::wstring Folder(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// A heap copy for AlarmFile or AlarmOption, which the slot owns.
wchar_t* HeapText(const std::wstring& text) {
    auto* copy = static_cast<wchar_t*>(PortHeapAlloc((text.size() + 1) * sizeof(wchar_t)));
    text.copy(copy, text.size());
    copy[text.size()] = L'\0';
    return copy;
}

class AlarmAction : public testing::Test {
protected:
    void SetUp() override {
        slot = &loaded.records.Slot[0];
        CopyWideText(slot->Title, L"CPU ", TitleChars);
        CopyWideText(slot->Unit, L" %", UnitChars);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"ferro alarm";
        CreateDirectoryW(folder.c_str(), nullptr);
        record = folder + L"\\record.txt";
        SetEnvironmentVariableW(L"FERRO_RECORD", record.c_str());
    }
    void TearDown() override {
        for (const wchar_t* name : {L"\\record.txt", L"\\alarm.log", L"\\sub\\rec.exe"})
            DeleteFileW((folder + name).c_str());
        RemoveDirectoryW((folder + L"\\sub").c_str());
        RemoveDirectoryW(folder.c_str());
    }
    void Set(uint32_t action, const std::wstring& file, const wchar_t* option) {
        PortHeapFree(slot->AlarmFile);
        PortHeapFree(slot->AlarmOption);
        slot->AlarmFile = file.empty() ? nullptr : HeapText(file);
        slot->AlarmOption = option ? HeapText(option) : nullptr;
        slot->AlarmFlag = AlarmUse | (action << AlarmActionShift);
    }
    // What record_args wrote: its command line and working directory, or empty.
    std::wstring WaitForRecord() {
        for (int i = 0; i < 100; i++) {
            std::string bytes = ReadFileBytes(record);
            size_t lines = 0;
            std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                              bytes.size() / sizeof(wchar_t));
            for (wchar_t c : text)
                lines += c == L'\n';
            if (bytes != "<missing>" && lines >= 2)
                return text;
            Sleep(50);
        }
        return L"";
    }
    std::wstring RecordArgs() const { return Folder(ModulePath()) + L"\\record_args.exe"; }

    LoadedRecords loaded;
    CounterSlot* slot = nullptr;
    std::wstring folder, record;
};

TEST_F(AlarmAction, LogLinesAreAppendedAsTheyExpand) {
    std::wstring log = folder + L"\\alarm.log";
    Set(4, log, L"%t%v%u (>= %b)\\r\\n");
    RunAlarmAction(slot, 87, 80, NoTray);
    RunAlarmAction(slot, -3, 80, NoTray);
    EXPECT_EQ(ReadFileBytes(log), "CPU 87 % (>= 80)\r\nCPU -3 % (>= 80)\r\n");

    // The whole example template: date and time of the moment, then the same text.
    DeleteFileW(log.c_str());
    Set(4, log, L"%y/%M/%d %H:%m:%s.%S %t%v%u (>= %b)\\r\\n");
    EXPECT_EQ(AppendAlarmLog(slot, 87, 80), 42u);
    std::string line = ReadFileBytes(log);
    ASSERT_EQ(line.size(), 42u) << line;
    EXPECT_EQ(line.substr(23), " CPU 87 % (>= 80)\r\n");
    for (size_t i : {4u, 7u})
        EXPECT_EQ(line[i], '/');
    EXPECT_EQ(line[10], ' ');
    EXPECT_EQ(line[19], '.');
}

// A log viewer keeps the log open for reading, sharing it for writing as viewers do: the lines
// still arrive.
TEST_F(AlarmAction, ALogViewerHoldingTheLogLosesNoLine) {
    std::wstring log = folder + L"\\alarm.log";
    HANDLE viewer = CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    Set(4, log, L"%v\\r\\n");
    EXPECT_EQ(AppendAlarmLog(slot, 1, 0), 3u);
    EXPECT_EQ(AppendAlarmLog(slot, 2, 0), 3u);
    char seen[16] = {};
    DWORD got = 0;
    ReadFile(viewer, seen, sizeof seen - 1, &got, nullptr);
    CloseHandle(viewer);
    EXPECT_STREQ(seen, "1\r\n2\r\n");
}

TEST_F(AlarmAction, AnUnopenableLogWritesNothing) {
    Set(4, folder + L"\\no such folder\\alarm.log", L"%v\\r\\n");
    EXPECT_EQ(AppendAlarmLog(slot, 1, 0), 0u);
    std::wstring log = folder + L"\\alarm.log";
    HANDLE held = CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    Set(4, log, L"%v\\r\\n");
    EXPECT_EQ(AppendAlarmLog(slot, 1, 0), 0u) << "held open by another program";
    CloseHandle(held);
    Set(4, log, L"");
    EXPECT_EQ(AppendAlarmLog(slot, 1, 0), 0u) << "an empty template";
    EXPECT_EQ(ReadFileBytes(log), "");
}

// The settings file is never a log, under any of its names: a log line a sample would take it
// past what the load reads. A device is no log, no sound and no file to open.
TEST_F(AlarmAction, TheSettingsFileAndDevicesAreRefused) {
    std::wstring settings = folder + L"\\ferrogauge.ini";
    const std::string before = "[MAIN]\r\nInterval=500\r\n";
    WriteFileBytes(settings, before);
    std::wstring link = folder + L"\\linked.ini";
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), settings.c_str(), nullptr));
    wchar_t shortName[MAX_PATH] = L"";
    GetShortPathNameW(settings.c_str(), shortName, MAX_PATH);
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    SetCurrentDirectoryW(folder.c_str());
    AlarmContext context = {nullptr, 0, settings.c_str()};
    std::wstring upper = settings;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    std::wstring slashes = settings;
    for (wchar_t& c : slashes)
        c = c == L'\\' ? L'/' : c;
    for (const std::wstring& name :
         {settings, upper, slashes, std::wstring(L"ferrogauge.ini"),
          folder + L"\\sub\\..\\ferrogauge.ini", link, std::wstring(shortName)}) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        Set(4, name, L"%v\\r\\n");
        EXPECT_EQ(RefusedAlarmFile(AlarmWriteLog, name.c_str(), settings.c_str()),
                  AlarmFileRefusal::SettingsFile);
        RunAlarmAction(slot, 87, 80, context);
        EXPECT_EQ(ReadFileBytes(settings), before);
    }
    // Any other log is written, and the settings file may be opened or played: only a log
    // writes to it.
    std::wstring log = folder + L"\\alarm.log";
    Set(4, log, L"%v\\r\\n");
    RunAlarmAction(slot, 87, 80, context);
    EXPECT_EQ(ReadFileBytes(log), "87\r\n");
    EXPECT_EQ(RefusedAlarmFile(AlarmOpenFile, settings.c_str(), settings.c_str()),
              AlarmFileRefusal::None);
    EXPECT_EQ(RefusedAlarmFile(AlarmWriteLog, log.c_str(), nullptr), AlarmFileRefusal::None);
    SetCurrentDirectoryW(current);
    DeleteFileW(link.c_str());
    DeleteFileW(settings.c_str());

    // A device: the file is not opened (a beep, as for a file that cannot be opened), the sound
    // and the line go nowhere; a program's name is the system's to judge.
    Set(1, L"\\\\.\\NUL", nullptr);
    unsigned beeps = PortBeepCount();
    RunAlarmAction(slot, 1, 0, NoTray);
    EXPECT_EQ(PortBeepCount(), beeps + 1);
    for (uint32_t action : {AlarmOpenFile, AlarmPlaySound, AlarmWriteLog})
        EXPECT_EQ(RefusedAlarmFile(action, L"C:\\logs\\nul.txt", nullptr),
                  AlarmFileRefusal::Device);
    EXPECT_EQ(RefusedAlarmFile(AlarmRunProgram, L"C:\\tools\\con.exe", nullptr),
              AlarmFileRefusal::None);
}

TEST_F(AlarmAction, ProgramRunsInItsOwnFolderWithTheExpandedParameters) {
    std::wstring sub = folder + L"\\sub";
    CreateDirectoryW(sub.c_str(), nullptr);
    std::wstring copy = sub + L"\\rec.exe";
    ASSERT_TRUE(CopyFileW(RecordArgs().c_str(), copy.c_str(), FALSE));
    Set(2, copy, L"-v %v -t %t");
    RunAlarmAction(slot, 87, 80, NoTray);
    EXPECT_EQ(WaitForRecord(), L"\"" + copy + L"\" -v 87 -t CPU \n" + sub + L"\n");

    // A bare program name runs in this program's folder (and is found there).
    DeleteFileW(record.c_str());
    EXPECT_NE(RunAlarmProgram(L"record_args.exe", L""), 0u);
    EXPECT_EQ(WaitForRecord(), L"\"record_args.exe\" \n" + Folder(ModulePath()) + L"\n");
}

TEST_F(AlarmAction, FileIsOpenedThroughTheShell) {
    Set(1, RecordArgs(), nullptr);
    unsigned beeps = PortBeepCount();
    RunAlarmAction(slot, 1, 0, NoTray);
    EXPECT_NE(WaitForRecord(), L"");
    EXPECT_EQ(PortBeepCount(), beeps);
}

TEST_F(AlarmAction, FailuresBeep) {
    struct Case {
        const char* what;
        uint32_t action;
        std::wstring file;
    };
    const Case cases[] = {
        {"the beep action", 0, L"x"},
        {"no file", 2, L""},
        {"a program that is not there", 2, folder + L"\\none.exe"},
        {"a file that is not there", 1, folder + L"\\none.xyz"},
        {"a notification without a tray icon", 5, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Set(c.action, c.file, L"");
        unsigned beeps = PortBeepCount();
        RunAlarmAction(slot, 1, 0, NoTray);
        EXPECT_EQ(PortBeepCount(), beeps + 1);
    }
    for (uint32_t action : {6u, 7u}) {
        for (const wchar_t* file : {L"x", L""}) {
            SCOPED_TRACE(testing::Message() << "action " << action << " file '" << file << "'");
            Set(action, file, L"");
            unsigned beeps = PortBeepCount();
            RunAlarmAction(slot, 1, 0, NoTray);
            EXPECT_EQ(PortBeepCount(), beeps) << "actions 6 and 7 do nothing";
        }
    }
}

// A notification's title is the graph's title and unit; its text is the option expanded as a
// log line is, or the default naming the value and the threshold when that leaves nothing.
TEST_F(AlarmAction, NotificationTextsAreTheExpandedOptionOrTheDefault) {
    struct Case {
        const wchar_t *title, *unit, *option, *wantTitle, *wantText;
        uint32_t compare = 5; // at or below
    };
    const Case cases[] = {
        {L"CPU ", L" %", L"%t%v%u (>= %b)\\r\\n", L"CPU のアラーム", L"CPU 87 % (>= 80)"},
        {L"CPU ", L" %", nullptr, L"CPU のアラーム", L"CPU 87 % (閾値 80)"},
        {L"CPU ", L" %", L" \\r\\n ", L"CPU のアラーム", L"CPU 87 % (閾値 80)"},
        {L"CPU ", L" %", nullptr, L"CPU のアラーム", L"CPU 87 %", 7}, // always: no threshold
        {L"\u3000Disk ", L"", L"  %v\\n%T ", L"Disk のアラーム", nullptr},
        {L" ", L" %", L"%b", L"Ferrogauge のアラーム", L"80"},
        {L"", L" ", L"%b", L"Ferrogauge のアラーム", L"80"},
        // The longest title a graph has fits whole.
        {L"0123456789012345678901234567890", L"", L"%b",
         L"0123456789012345678901234567890 のアラーム", L"80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << (c.option ? c.option : L"(none)"));
        slot->Title[0] = slot->Unit[0] = L'\0'; // an empty text copies nothing
        CopyWideText(slot->Title, c.title, TitleChars);
        CopyWideText(slot->Unit, c.unit, UnitChars);
        Set(AlarmNotify, L"", c.option);
        slot->AlarmFlag |= c.compare << AlarmCompareShift;
        wchar_t title[AlarmNoticeTitleChars] = L"?", text[AlarmNoticeTextChars] = L"?";
        MakeAlarmNotice(slot, 87, 80, title, text);
        EXPECT_EQ(std::wstring(title), c.wantTitle);
        if (c.wantText) {
            EXPECT_EQ(std::wstring(text), c.wantText);
        } else {
            std::wstring got = text;
            EXPECT_EQ(got.substr(0, 3), L"87\n") << "leading blanks trimmed";
            EXPECT_NE(got.back(), L' ') << "trailing blanks trimmed";
        }
    }

    NOTIFYICONDATAW data;
    FillTrayNotice(&data, reinterpret_cast<HWND>(1), 7, L"CPU %", L"CPU 87 %", false);
    EXPECT_EQ(data.cbSize, sizeof(data));
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_INFO)) << "picture, tooltip and callback kept";
    EXPECT_EQ(data.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING | NIIF_RESPECT_QUIET_TIME));
    EXPECT_EQ(data.uID, 7u);
    EXPECT_STREQ(data.szInfoTitle, L"CPU %");
    EXPECT_STREQ(data.szInfo, L"CPU 87 %");
}

// A tray icon with id 7 for the notifications of a test, taken away at its end.
struct TrayIconOfATest {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  nullptr, nullptr);
    bool added = NotifyTrayIcon(NIM_ADD, window, 7, WM_APP, LoadIconW(nullptr, IDI_APPLICATION),
                                L"tip") != FALSE;
    ~TrayIconOfATest() {
        NotifyTrayIcon(NIM_DELETE, window, 7, 0, nullptr, nullptr);
        DestroyWindow(window);
    }
};

// The notification goes to the tray; without the icon there, the alarm beeps instead.
TEST_F(AlarmAction, NotificationNeedsTheTrayIconOrBeeps) {
    TrayIconOfATest icon;
    ASSERT_TRUE(icon.added);
    HWND window = icon.window;
    Set(AlarmNotify, L"", L"%v");
    unsigned beeps = PortBeepCount();
    RunAlarmAction(slot, 87, 80, AlarmContext{window, 7, nullptr});
    EXPECT_EQ(PortBeepCount(), beeps) << "shown from the icon";
    RunAlarmAction(slot, 87, 80, AlarmContext{window, 8, nullptr});
    EXPECT_EQ(PortBeepCount(), beeps + 1) << "no icon 8: the modification fails";
    RunAlarmAction(slot, 87, 80, NoTray);
    EXPECT_EQ(PortBeepCount(), beeps + 2) << "the program has no tray icon";
}

// The calls the program makes to the shell, passed on to the real one.
struct ShellCall {
    DWORD message;
    UINT flags;
    std::wstring info;
    DWORD infoFlags;
};
std::vector<ShellCall> TheShellCalls;

BOOL WINAPI RecordShellCall(DWORD message, PNOTIFYICONDATAW data) {
    TheShellCalls.push_back({message, data->uFlags, data->szInfo, data->dwInfoFlags});
    return Shell_NotifyIconW(message, data);
}

// A repeating alarm fires again while its last notification may still show: each one takes the
// last away first, so that they are not queued one per sample behind each other, and only the
// first of a firing that goes on holding plays the notification sound.
TEST_F(AlarmAction, EachNotificationReplacesTheOneStillShown) {
    TrayIconOfATest icon;
    ASSERT_TRUE(icon.added);
    HWND window = icon.window;
    TheShellCalls.clear();
    UseShellNotify(RecordShellCall);
    Set(AlarmNotify, L"", L"%v");
    RunAlarmAction(slot, 87, 80, AlarmContext{window, 7, nullptr}, false);
    RunAlarmAction(slot, 88, 80, AlarmContext{window, 7, nullptr}, true);
    UseShellNotify(nullptr);
    const std::wstring expected[] = {L"", L"87", L"", L"88"};
    const bool quiet[] = {true, false, true, true};
    ASSERT_EQ(TheShellCalls.size(), 4u);
    for (size_t i = 0; i < 4; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(TheShellCalls[i].message, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(TheShellCalls[i].flags, static_cast<UINT>(NIF_INFO));
        EXPECT_EQ(TheShellCalls[i].info, expected[i]);
        EXPECT_EQ((TheShellCalls[i].infoFlags & NIIF_NOSOUND) != 0, quiet[i]);
    }
}

// Through the judging of samples: a repeating alarm's first notification of a hold sounds, its
// repeats while the value stays high come silently, and a new hold sounds again.
TEST_F(AlarmAction, OnlyTheFirstNotificationOfAHoldSounds) {
    TrayIconOfATest icon;
    ASSERT_TRUE(icon.added);
    HWND window = icon.window;
    Set(AlarmNotify, L"", L"%v");
    slot->AlarmFlag |= AlarmRepeat | (3u << AlarmCompareShift); // at or above
    slot->AlarmBorder = 80;
    slot->AlarmDuration = 0;
    slot->Runtime = &loaded.runs[0];
    loaded.runs[0].Counter = this;
    uint32_t runFlag = 0;
    ControlAlarms(1, &runFlag, slot, 1);
    ASSERT_TRUE(loaded.runs[0].AlarmState & AlarmStateRunning);
    TheShellCalls.clear();
    UseShellNotify(RecordShellCall);
    const int64_t samples[] = {85, 86, 70, 90};
    int64_t previous = 0;
    for (int64_t value : samples) {
        EvaluateAlarm(slot, previous, value, AlarmContext{window, 7, nullptr});
        previous = value;
    }
    UseShellNotify(nullptr);
    std::wstring heard;
    for (const ShellCall& call : TheShellCalls) {
        if (!call.info.empty())
            heard += call.info + ((call.infoFlags & NIIF_NOSOUND) ? L" quiet, " : L" sound, ");
    }
    EXPECT_EQ(heard, L"85 sound, 86 quiet, 90 sound, ");
}

TEST(ProgramFolder, IsTheFolderOfTheProgramOrOfThisOneKeepingADrivesRoot) {
    struct Case {
        const wchar_t* program;
        const wchar_t* module;
        const wchar_t* folder; // null: none
    };
    const Case cases[] = {
        {L"C:\\Tools\\x.exe", L"D:\\m\\mon.exe", L"C:\\Tools"},
        {L"C:\\x.exe", L"D:\\m\\mon.exe", L"C:\\"},
        {L"C:x.exe", L"D:\\m\\mon.exe", L"C:"},
        {L"\\x.exe", L"D:\\m\\mon.exe", L"\\"},
        {L"x.exe", L"D:\\m\\mon.exe", L"D:\\m"},
        {L"x.exe", L"D:\\mon.exe", L"D:\\"}, // this program in a drive's root
        {L"x.exe", L"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.program << " beside " << c.module);
        wchar_t folder[MAX_PATH] = L"<untouched>";
        bool found = ProgramFolder(c.program, c.module, folder);
        EXPECT_EQ(found, c.folder != nullptr);
        if (c.folder) {
            EXPECT_EQ(std::wstring(folder), c.folder);
        }
    }
}

// A short silent WAV file: 8-bit mono at 8 kHz, a tenth of a second.
void WriteWav(const std::wstring& path) {
    const DWORD samples = 800;
    std::string bytes = "RIFF";
    auto put32 = [&](DWORD v) {
        for (int i = 0; i < 4; i++)
            bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto put16 = [&](WORD v) {
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>(v >> 8);
    };
    put32(36 + samples);
    bytes += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(8000);
    put32(8000);
    put16(1);
    put16(8);
    bytes += "data";
    put32(samples);
    bytes += std::string(samples, '\x80');
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(file);
}

TEST_F(AlarmAction, SoundLibraryComesFromTheSystemFolderOnlyWhenASoundPlays) {
    // A stop before any sound loads nothing.
    bool loadedBefore = GetModuleHandleW(L"winmm.dll") != nullptr;
    EXPECT_TRUE(CallPlaySound(nullptr, nullptr, 0));
    if (!loadedBefore) {
        EXPECT_EQ(GetModuleHandleW(L"winmm.dll"), nullptr);
    }

    // A winmm.dll planted beside the program is never the one loaded.
    std::wstring planted = Folder(ModulePath()) + L"\\winmm.dll";
    ASSERT_TRUE(
        CopyFileW((Folder(ModulePath()) + L"\\fake_pdh.dll").c_str(), planted.c_str(), FALSE));
    std::wstring wav = folder + L"\\alarm.wav";
    WriteWav(wav);
    Set(3, wav, nullptr);
    DWORD start = GetTickCount();
    RunAlarmAction(slot, 1, 0, NoTray);
    RunAlarmAction(slot, 1, 0, NoTray); // while the first may still play
    EXPECT_LT(GetTickCount() - start, 1000u) << "the sound plays in the background";
    HMODULE winmm = GetModuleHandleW(L"winmm.dll");
    ASSERT_NE(winmm, nullptr);
    wchar_t loadedPath[MAX_PATH], system[MAX_PATH];
    GetModuleFileNameW(winmm, loadedPath, MAX_PATH);
    UINT n = GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(loadedPath, n, system, n, TRUE), CSTR_EQUAL) << loadedPath;
    CallPlaySound(nullptr, nullptr, 0);
    DeleteFileW(planted.c_str());
    DeleteFileW(wav.c_str());
}

} // namespace
