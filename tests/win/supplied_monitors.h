// Monitors a test supplies to the program in place of the system's: Wine's desktop shows one.
#pragma once

#include <vector>

#include <windows.h>

struct SuppliedMonitor {
    RECT monitor;
    RECT work;
};

// Puts the monitors in for the program while it lives, the first the primary one; the
// system's come back after it. They answer as Windows' monitor calls do, but refuse to
// enumerate by a device context, which they do not have.
class SuppliedMonitors {
public:
    explicit SuppliedMonitors(std::vector<SuppliedMonitor> monitors);
    ~SuppliedMonitors();
    SuppliedMonitors(const SuppliedMonitors&) = delete;
    SuppliedMonitors& operator=(const SuppliedMonitors&) = delete;
    // Changes the monitors, as unplugging one does; handles of monitors that are gone stop
    // answering.
    void Replace(std::vector<SuppliedMonitor> monitors);
};

// The real primary monitor, with its real work area: the taskbar and the tray are on it.
SuppliedMonitor RealPrimaryMonitor();
