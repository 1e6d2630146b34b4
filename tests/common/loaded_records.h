// Settings records with their run-time records for tests and fuzz targets.
#pragma once

#include <cstring>

#include "counters/counter_run.h"
#include "port/port.h"
#include "settings/settings_model.h"

// Settings records with their run-time records, zeroed, freeing their alarm texts at the end.
struct LoadedRecords {
    SettingsRecords records;
    CounterRun runs[2];
    LoadedRecords() {
        std::memset(&records, 0, sizeof(records));
        std::memset(runs, 0, sizeof(runs));
    }
    ~LoadedRecords() {
        for (CounterSlot& slot : records.Slot) {
            PortHeapFree(slot.AlarmFile);
            PortHeapFree(slot.AlarmOption);
        }
    }
    LoadedRecords(const LoadedRecords&) = delete;
    LoadedRecords& operator=(const LoadedRecords&) = delete;
};
