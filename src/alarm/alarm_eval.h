// Alarm evaluation: starting and stopping the graphs' alarms, and judging every sample.
#pragma once

#include <cstdint>

#include "settings/settings_model.h"

// Summary bits of the main window's run flags: some slot with a counter has its alarm in use;
// some alarm is running.
constexpr uint32_t AlarmSummaryArmed = 0x400;
constexpr uint32_t AlarmSummaryRunning = 0x800;

// AlarmState bits of a slot's run-time record.
enum : uint32_t {
    AlarmStateRunning = 0x1,
    AlarmStateFirstPending = 0x2,
    AlarmStateHolding = 0x4,
    AlarmStateFired = 0x8,
};

// Result bits of JudgeAlarm besides the comparisons that held (0x10, 0x20, 0x40).
enum : int {
    AlarmFired = 0x1,
    AlarmFiredOnLeave = 0x200,
    // A repeat of a firing whose condition has held throughout since it last fired.
    AlarmFiredAgain = 0x400,
};

// The comparison codes of AlarmFlag bits 4-6 that compare with the threshold, and "always".
constexpr uint32_t CompareAlways = 0x70;

// Starts or stops the alarms of count slots by mode: 3 monitoring started, 2 settings
// confirmed, -1 the menu command (stops while one runs, else starts all), 1 start all, any
// other stops all. Stores the new summary bits into *runFlag (after clearing both) and
// returns them; *stopped tells whether the stop branch ran, which silences a playing sound.
uint32_t SwitchAlarms(int mode, uint32_t* runFlag, CounterSlot* slots, int count, bool* stopped);

// Starts the alarm of a slot whose counter was added only after monitoring had started (it
// could not be added then), as the start would have: running when it starts with monitoring,
// else armed. Adds the summary bits to *runFlag.
void StartLateAlarm(CounterSlot* slot, uint32_t* runFlag);
// Begins afresh, at now, the hold of every alarm of count slots that has one: after a sleep the
// tick count has moved on by the time asleep, which no sample measured.
void RestartAlarmHolds(CounterSlot* slots, int count, uint32_t now);

// Judges the new sample of a slot whose alarm runs, with the previous one, and moves its run
// state. Returns the result bits; with AlarmFired the action is due, with the value and the
// threshold stored in *threshold.
int JudgeAlarm(CounterSlot* slot, int64_t previous, int64_t value, int64_t* threshold);
