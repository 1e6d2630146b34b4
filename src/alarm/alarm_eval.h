// Alarm evaluation: starting and stopping the graphs' alarms, and judging every sample.
#pragma once

#include <cstdint>

#include "settings/settings_model.h"

// Starts or stops the alarms of count slots by mode (3: those that start with monitoring,
// -1: toggle all) and sets the AlarmArmed and AlarmRunning bits of runFlag anew.
void ControlAlarms(int mode, uint32_t* runFlag, CounterSlot* slots, int count);

// Judges a running alarm's new sample against its rule; may carry out its action.
int EvaluateAlarm(CounterSlot* slot, int64_t previous, int64_t value);
