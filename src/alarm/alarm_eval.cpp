// Alarm evaluation: the run state of each slot's alarm and the rule that decides at every
// sample whether it fires. Durations use the tick count of the port, so they are measured at
// samples and stay right across the tick count's wrap.
#include "alarm/alarm_eval.h"

#include "counters/counter_run.h"
#include "port/port.h"

namespace {

bool HasCounterInUse(const CounterSlot* slot) {
    return slot->Runtime && slot->Runtime->Counter && (slot->AlarmFlag & AlarmUse);
}

} // namespace

uint32_t SwitchAlarms(int mode, uint32_t* runFlag, CounterSlot* slots, int count, bool* stopped) {
    uint32_t summary = 0;
    bool start =
        mode == 1 || mode == 2 || mode == 3 || (mode == -1 && !(*runFlag & AlarmSummaryRunning));
    for (int i = 0; i < count; i++) {
        CounterSlot* slot = &slots[i];
        CounterRun* run = slot->Runtime;
        if (start) {
            if (!run)
                continue;
            uint32_t old = run->AlarmState;
            run->AlarmState = 0;
            if (!HasCounterInUse(slot))
                continue;
            summary |= AlarmSummaryArmed;
            bool runs = mode == 2   ? (old & AlarmStateRunning) != 0
                        : mode == 3 ? (slot->AlarmFlag & AlarmAtStart) != 0
                                    : true;
            if (runs) {
                run->AlarmState = AlarmStateRunning | AlarmStateFirstPending;
                summary |= AlarmSummaryRunning;
            }
        } else if (HasCounterInUse(slot)) {
            run->AlarmState = 0;
            summary |= AlarmSummaryArmed;
        }
    }
    if (stopped)
        *stopped = !start;
    *runFlag = (*runFlag & ~(AlarmSummaryArmed | AlarmSummaryRunning)) | summary;
    return summary;
}

void StartLateAlarm(CounterSlot* slot, uint32_t* runFlag) {
    CounterRun* run = slot->Runtime;
    if (!run)
        return;
    run->AlarmState = 0;
    if (!HasCounterInUse(slot))
        return;
    *runFlag |= AlarmSummaryArmed;
    if (slot->AlarmFlag & AlarmAtStart) {
        run->AlarmState = AlarmStateRunning | AlarmStateFirstPending;
        *runFlag |= AlarmSummaryRunning;
    }
}

void RestartAlarmHolds(CounterSlot* slots, int count, uint32_t now) {
    for (int i = 0; i < count; i++) {
        CounterRun* run = slots[i].Runtime;
        if (run && (run->AlarmState & AlarmStateRunning) && (run->AlarmState & AlarmStateHolding))
            run->AlarmTick = now;
    }
}

int JudgeAlarm(CounterSlot* slot, int64_t previous, int64_t value, int64_t* threshold) {
    CounterRun* run = slot->Runtime;
    uint32_t flag = slot->AlarmFlag;
    uint32_t state = run->AlarmState;
    *threshold = 0;
    if (state & AlarmStateFirstPending) {
        run->AlarmState = state &= ~AlarmStateFirstPending;
        // The first sample after a start has no previous one to be compared with.
        if (flag & AlarmPrevThreshold)
            return 0;
    }
    uint32_t compare = flag & AlarmCompareMask;
    if (compare == 0)
        return 0;

    int result = 0;
    bool holds;
    if (compare == CompareAlways) {
        result = CompareAlways;
        holds = true;
    } else {
        *threshold = (flag & AlarmPrevThreshold) ? previous : slot->AlarmBorder;
        if ((compare & 0x10) && value == *threshold)
            result |= 0x10;
        if ((compare & 0x20) && value > *threshold)
            result |= 0x20;
        if ((compare & 0x40) && value < *threshold)
            result |= 0x40;
        holds = result != 0;
    }

    if (!holds) {
        if ((flag & AlarmOnLeave) && (state & AlarmStateFired))
            result = AlarmFiredOnLeave | AlarmFired;
        state &= ~(AlarmStateHolding | AlarmStateFired);
    } else if ((flag & AlarmRepeat) || !(state & AlarmStateFired)) {
        uint32_t now = PortTickCount();
        bool began = !(state & AlarmStateHolding);
        if (began) {
            run->AlarmTick = now;
            state |= AlarmStateHolding;
            if (compare == CompareAlways)
                result |= AlarmFired; // fires as soon as its hold begins
        }
        if (now - run->AlarmTick >= slot->AlarmDuration) {
            run->AlarmTick = now;
            // The always-comparison fired when its hold began.
            if ((state & AlarmStateFired) || (compare == CompareAlways && !began))
                result |= AlarmFiredAgain;
            state |= AlarmStateFired;
            result |= AlarmFired;
        }
    }
    if ((result & AlarmFired) && (flag & AlarmOffAfterFire))
        state &= ~(AlarmStateRunning | AlarmStateHolding | AlarmStateFired);
    run->AlarmState = state;
    return result;
}
