// The alarms on the platform: the actions that a firing alarm carries out, and the switching
// and judging of the core wrapped with them. Every action returns at once: sounds play in the
// background and started programs and documents are not waited for.
#include "alarm/alarm_action.h"

#include <shellapi.h>

#include "alarm/alarm_eval.h"
#include "alarm/alarm_text.h"
#include "port/port.h"
#include "port/system_library.h"
#include "settings/convert.h"
#include "window/run_flag.h"

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

int EvaluateAlarm(CounterSlot* slot, int64_t previous, int64_t value) {
    int64_t threshold = 0;
    int result = JudgeAlarm(slot, previous, value, &threshold);
    if (result & AlarmFired)
        RunAlarmAction(slot, value, threshold);
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

void RunAlarmAction(const CounterSlot* slot, int64_t value, int64_t threshold) {
    uint32_t action = (slot->AlarmFlag & AlarmActionMask) >> AlarmActionShift;
    if (action > 4)
        return; // codes 5 to 7 name no action: nothing happens, not even a beep
    if (action == 0 || !slot->AlarmFile) {
        PortBeep();
        return;
    }
    switch (action) {
    case 1: {
        HINSTANCE done =
            ShellExecuteW(nullptr, nullptr, slot->AlarmFile, nullptr, nullptr, SW_SHOWNORMAL);
        if (reinterpret_cast<INT_PTR>(done) <= 32)
            PortBeep();
        break;
    }
    case 2: {
        wchar_t parameters[AlarmParameterChars];
        ExpandAlarmText(slot->AlarmOption, parameters, AlarmParameterChars, value, threshold, slot);
        if (!RunAlarmProgram(slot->AlarmFile, parameters))
            PortBeep();
        break;
    }
    case 3:
        // In the background, and without cutting off a sound that still plays.
        CallPlaySound(slot->AlarmFile, nullptr, SND_FILENAME | SND_NOSTOP | SND_ASYNC);
        break;
    case 4:
        AppendAlarmLog(slot, value, threshold);
        break;
    default:
        break;
    }
}
