// The alarms on the platform: switching them, judging samples and carrying out the six
// actions (beep, open a file, run a program, play a WAV file, append a log line, show a
// notification).
#pragma once

#include <cstdint>

#include <windows.h>

#include <shellapi.h>

#include "settings/settings_model.h"

// Switches the alarms as SwitchAlarms does and silences a playing sound when they stop.
// Returns the new summary bits, which are also in *runFlag.
uint32_t ControlAlarms(int mode, uint32_t* runFlag, CounterSlot* slots, int count);

// Where the alarms run: the tray icon that notifications come from (its window and id; Window
// is null when the program has no icon in the tray), and the program's settings file, which no
// alarm may write its log to (null when there is none).
struct AlarmContext {
    HWND Window;
    UINT Id;
    const wchar_t* SettingsPath;
};

// Judges a running alarm's new sample and carries out its action when it fires. Returns the
// result bits of JudgeAlarm.
int EvaluateAlarm(CounterSlot* slot, int64_t previous, int64_t value, AlarmContext context);

// The action of the slot's AlarmFlag for a firing with value and threshold. A file the action
// may not use (see RefusedAlarmFile) is not used: Open a file beeps as for a file that cannot be
// opened, and no sound is played and no line written. again marks a repeat of a firing that
// still holds: its notification replaces the one shown without a sound.
void RunAlarmAction(const CounterSlot* slot, int64_t value, int64_t threshold, AlarmContext context,
                    bool again = false);

// Why file cannot serve action (an action code of AlarmFlag): a device stands for no file to
// open, play or write to, and the settings file at settingsPath would be written over by a log.
enum class AlarmFileRefusal {
    None,
    Device,
    SettingsFile,
};
AlarmFileRefusal RefusedAlarmFile(uint32_t action, const wchar_t* file,
                                  const wchar_t* settingsPath);
// Whether a and b name one file: the same full path in any letter case, or, for files that
// exist, the same file under another name (a short name, a link, a share of this machine).
bool SameFile(const wchar_t* a, const wchar_t* b);

// Places of a notification's title and text, terminator included, as the tray takes them.
constexpr int AlarmNoticeTitleChars = ARRAYSIZE(NOTIFYICONDATAW{}.szInfoTitle);
constexpr int AlarmNoticeTextChars = ARRAYSIZE(NOTIFYICONDATAW{}.szInfo);
// The notification of a firing. Its title names the graph's alarm by the graph's title, trimmed
// (the program's name when that is empty), in the words of the string table. Its text is
// AlarmOption expanded as a log line is, or, when that gives nothing to read, the string table's
// default naming the value and the threshold (the value alone for the always-comparison); blanks
// and line breaks around it are trimmed.
void MakeAlarmNotice(const CounterSlot* slot, int64_t value, int64_t threshold, wchar_t* title,
                     wchar_t* text);
// PlaySoundW through winmm.dll from the system folder, loaded on the first sound. A stop
// request (no sound) before any sound answers 1 and loads nothing; 0 without the library.
BOOL CallPlaySound(const wchar_t* sound, HMODULE module, DWORD flags);
// The working folder for program (MAX_PATH characters): its folder without the final
// separator, kept where that would leave a drive ("C:\") or nothing ("\"); the folder of
// modulePath, this program's own path, by the same rule when program names none. False when
// neither names a folder or it does not fit.
bool ProgramFolder(const wchar_t* program, const wchar_t* modulePath, wchar_t* folder);
// Starts program with parameters (none: no blank after it) in its own folder, or the folder
// of this program when the path names none. Returns the new process's id, 0 on failure.
DWORD RunAlarmProgram(const wchar_t* program, const wchar_t* parameters);
