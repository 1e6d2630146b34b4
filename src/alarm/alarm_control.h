// Starting and stopping the graphs' alarms.
#pragma once

#include <cstdint>

#include "settings/settings_model.h"

// Starts or stops the alarms of count slots by mode (3: those that start with monitoring,
// -1: toggle all) and sets the AlarmArmed and AlarmRunning bits of runFlag anew.
void ControlAlarms(int mode, uint32_t* runFlag, CounterSlot* slots, int count);
