// The alarms on the platform: the actions that a firing alarm carries out, and the switching
// and judging of the core wrapped with them. Every action returns at once: sounds play in the
// background, started programs and documents are not waited for, and notifications are
// handed to the shell.
#include "alarm/alarm_action.h"

#include <shellapi.h>

#include "alarm/alarm_eval.h"
#include "alarm/alarm_file.h"
#include "alarm/alarm_text.h"
#include "port/port.h"
#include "port/system_library.h"
#include "res/resource.h"
#include "res/version.h"
#include "text/convert.h"
#include "window/run_flag.h"
#include "window/tray.h"

static_assert(AlarmArmed == AlarmSummaryArmed && AlarmRunning == AlarmSummaryRunning,
              "the core's summary bits are the window's run flags");

namespace {

typedef BOOL(WINAPI* PlaySoundProc)(LPCWSTR, HMODULE, DWORD);

// The sound library, loaded on the first sound and kept for the life of the process.
struct SoundLibrary {
    HMODULE Winmm;
    PlaySoundProc PlaySound;
};
SoundLibrary TheSound;

// Blanks that a notification's title and text do without at either end: the ideographic
// space of Japanese titles among them.
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0x3000;
}

// The first character of text that is not a blank, and in *length the number of characters
// from it to the last one that is not, both included.
const wchar_t* TrimmedSpan(const wchar_t* text, int* length) {
    while (IsBlank(*text))
        text++;
    int n = WideLength(text);
    while (n > 0 && IsBlank(text[n - 1]))
        n--;
    *length = n;
    return text;
}

// Moves text's middle, without the blanks around it, to its start.
void TrimInPlace(wchar_t* text) {
    int n;
    const wchar_t* start = TrimmedSpan(text, &n);
    for (int i = 0; i < n; i++)
        text[i] = start[i];
    text[n] = L'\0';
}

} // namespace

bool ProgramFolder(const wchar_t* program, const wchar_t* modulePath, wchar_t* folder) {
    const wchar_t* path = FileNameOffset(program) > 0 ? program : modulePath;
    int k = FileNameOffset(path);
    if (k == 0 || k > MAX_PATH - 1)
        return false;
    int keep = k - 1;
    // "C:\x.exe" runs in "C:\", and "C:x.exe" in "C:": a bare drive letter names no folder.
    if (path[k - 1] == L':' || (keep == 2 && path[1] == L':'))
        keep = k;
    if (keep == 0)
        keep = 1; // "\x.exe": the root of the current drive
    for (int i = 0; i < keep; i++)
        folder[i] = path[i];
    folder[keep] = L'\0';
    return true;
}

uint32_t ControlAlarms(int mode, uint32_t* runFlag, CounterSlot* slots, int count) {
    bool stopped = false;
    uint32_t summary = SwitchAlarms(mode, runFlag, slots, count, &stopped);
    if (stopped)
        CallPlaySound(nullptr, nullptr, 0);
    return summary;
}

int EvaluateAlarm(CounterSlot* slot, int64_t previous, int64_t value, AlarmContext context) {
    int64_t threshold = 0;
    int result = JudgeAlarm(slot, previous, value, &threshold);
    if (result & AlarmFired)
        RunAlarmAction(slot, value, threshold, context, (result & AlarmFiredAgain) != 0);
    return result;
}

BOOL CallPlaySound(const wchar_t* sound, HMODULE module, DWORD flags) {
    SoundLibrary* library = &TheSound;
    if (!library->Winmm) {
        if (!sound)
            return TRUE; // nothing can be playing yet
        // Never by bare name: a winmm.dll beside the program would be taken first.
        library->Winmm = LoadSystemLibrary(L"winmm.dll");
        if (!library->Winmm)
            return FALSE;
        library->PlaySound = reinterpret_cast<PlaySoundProc>(
            reinterpret_cast<void*>(GetProcAddress(library->Winmm, "PlaySoundW")));
    }
    return library->PlaySound ? library->PlaySound(sound, module, flags) : FALSE;
}

DWORD RunAlarmProgram(const wchar_t* program, const wchar_t* parameters) {
    if (!program || !program[0])
        return 0;
    int programLength = WideLength(program);
    int n = parameters ? programLength + WideLength(parameters) + 4 : programLength + 3;
    wchar_t* command = static_cast<wchar_t*>(
        HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(n) * sizeof(wchar_t)));
    if (!command)
        return 0;
    int i = 0;
    command[i++] = L'"';
    for (int k = 0; k < programLength; k++)
        command[i++] = program[k];
    command[i++] = L'"';
    if (parameters) {
        command[i++] = L' '; // empty parameters leave the blank
        i += CopyWideText(command + i, parameters, n - i);
    }
    command[i] = L'\0';

    DWORD id = 0;
    wchar_t module[MAX_PATH];
    DWORD moduleLength = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (moduleLength == 0 || moduleLength >= MAX_PATH)
        module[0] = L'\0'; // a cut path names some other folder
    wchar_t folder[MAX_PATH];
    if (ProgramFolder(program, module, folder)) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                           nullptr, folder, &startup, &process)) {
            id = process.dwProcessId;
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    HeapFree(GetProcessHeap(), 0, command);
    return id;
}

void MakeAlarmNotice(const CounterSlot* slot, int64_t value, int64_t threshold, wchar_t* title,
                     wchar_t* text) {
    // The title names the graph's alarm: its title, trimmed, or the program's name, in the
    // string table's words around it ("%1 alarm").
    int nameLength;
    const wchar_t* name = TrimmedSpan(slot->Title, &nameLength);
    if (nameLength == 0) {
        name = ProgramTitle;
        nameLength = WideLength(ProgramTitle);
    }
    wchar_t words[AlarmNoticeTitleChars];
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ALARM_NOTICE_TITLE, words,
                    AlarmNoticeTitleChars) <= 0)
        CopyWideText(words, L"%1", AlarmNoticeTitleChars);
    title[0] = L'\0';
    int n = 0;
    for (const wchar_t* at = words; *at; at++) {
        if (at[0] == L'%' && at[1] == L'1') {
            n = AppendWideText(title, n, AlarmNoticeTitleChars, name, nameLength);
            at++;
        } else {
            n = AppendWideText(title, n, AlarmNoticeTitleChars, at, 1);
        }
    }

    ExpandAlarmText(slot->AlarmOption, text, AlarmNoticeTextChars, value, threshold, slot);
    TrimInPlace(text);
    if (text[0])
        return;
    // An empty text would take the notification away rather than show it. An alarm that fires
    // whatever the value has no threshold to name.
    bool always = (slot->AlarmFlag & AlarmCompareMask) == AlarmCompareMask;
    wchar_t form[AlarmNoticeTextChars];
    if (LoadStringW(GetModuleHandleW(nullptr), always ? IDS_ALARM_NOTICE_ALWAYS : IDS_ALARM_NOTICE,
                    form, AlarmNoticeTextChars) <= 0)
        CopyWideText(form, L"%t%v%u", AlarmNoticeTextChars);
    ExpandAlarmText(form, text, AlarmNoticeTextChars, value, threshold, slot);
    TrimInPlace(text);
}

namespace {

// The identity of an existing file: its volume and its index there. False when it cannot be
// opened to ask (no file, no right).
bool FileIdentity(const wchar_t* path, BY_HANDLE_FILE_INFORMATION* info) {
    // No access asked for: the file's attributes can be read whoever holds it.
    HANDLE file = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandle(file, info) != FALSE;
    CloseHandle(file);
    return known;
}

} // namespace

bool SameFile(const wchar_t* a, const wchar_t* b) {
    if (!a || !b || !a[0] || !b[0])
        return false;
    // Relative names are taken as the file calls take them, from the current folder.
    wchar_t fullA[MAX_PATH], fullB[MAX_PATH];
    DWORD lengthA = GetFullPathNameW(a, MAX_PATH, fullA, nullptr);
    DWORD lengthB = GetFullPathNameW(b, MAX_PATH, fullB, nullptr);
    if (lengthA && lengthA < MAX_PATH && lengthB && lengthB < MAX_PATH &&
        CompareStringOrdinal(fullA, -1, fullB, -1, TRUE) == CSTR_EQUAL)
        return true;
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    return FileIdentity(a, &infoA) && FileIdentity(b, &infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

AlarmFileRefusal RefusedAlarmFile(uint32_t action, const wchar_t* file,
                                  const wchar_t* settingsPath) {
    if (!file || !file[0])
        return AlarmFileRefusal::None;
    // A program is started, not opened: its name is the system's to judge.
    if (action == AlarmOpenFile || action == AlarmPlaySound || action == AlarmWriteLog) {
        if (IsDevicePath(file))
            return AlarmFileRefusal::Device;
    }
    // A log appended to the settings file would grow it past what the load reads, and the
    // program would start on its defaults and never save again.
    if (action == AlarmWriteLog && SameFile(file, settingsPath))
        return AlarmFileRefusal::SettingsFile;
    return AlarmFileRefusal::None;
}

void RunAlarmAction(const CounterSlot* slot, int64_t value, int64_t threshold, AlarmContext context,
                    bool again) {
    uint32_t action = (slot->AlarmFlag & AlarmActionMask) >> AlarmActionShift;
    if (action > AlarmNotify)
        return; // codes 6 and 7 name no action: nothing happens, not even a beep
    if (action == AlarmNotify) {
        wchar_t title[AlarmNoticeTitleChars];
        wchar_t text[AlarmNoticeTextChars];
        MakeAlarmNotice(slot, value, threshold, title, text);
        // Without the icon there is nothing to show it from: the alarm still sounds.
        if (!context.Window || !NotifyTrayNotice(context.Window, context.Id, title, text, again))
            PortBeep();
        return;
    }
    if (action == AlarmBeep || !slot->AlarmFile) {
        PortBeep();
        return;
    }
    // A refused file is not used: the file is not opened (a beep, as for one that cannot be),
    // the sound not played (not even the system's default sound, which stands for a file that
    // is missing), the line not written.
    if (RefusedAlarmFile(action, slot->AlarmFile, context.SettingsPath) != AlarmFileRefusal::None) {
        if (action == AlarmOpenFile)
            PortBeep();
        return;
    }
    switch (action) {
    case AlarmOpenFile: {
        HINSTANCE done =
            ShellExecuteW(nullptr, nullptr, slot->AlarmFile, nullptr, nullptr, SW_SHOWNORMAL);
        if (reinterpret_cast<INT_PTR>(done) <= 32)
            PortBeep();
        break;
    }
    case AlarmRunProgram: {
        wchar_t parameters[AlarmParameterChars];
        ExpandAlarmText(slot->AlarmOption, parameters, AlarmParameterChars, value, threshold, slot);
        if (!RunAlarmProgram(slot->AlarmFile, parameters))
            PortBeep();
        break;
    }
    case AlarmPlaySound:
        // In the background, and without cutting off a sound that still plays.
        CallPlaySound(slot->AlarmFile, nullptr, SND_FILENAME | SND_NOSTOP | SND_ASYNC);
        break;
    case AlarmWriteLog:
        AppendAlarmLog(slot, value, threshold);
        break;
    default:
        break;
    }
}
