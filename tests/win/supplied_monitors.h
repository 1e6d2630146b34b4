// Monitors a test supplies to the program in place of the system's: Wine's desktop shows one,
// at one scale, and never tells a window that its scale changed.
#pragma once

#include <vector>

#include <windows.h>

struct SuppliedMonitor {
    RECT monitor;
    RECT work;
    UINT dpi = 0; // the scale the user gave it; 0: the system DPI
};

// Puts the monitors in for the program while it lives, the first the primary one; the
// system's come back after it. They answer as Windows' monitor calls do, but refuse to
// enumerate by a device context, which they do not have. The DPI calls answer as
// GetDpiForMonitor and GetDpiForWindow do for a per-monitor-aware program on Windows 10
// (learn.microsoft.com, "WM_DPICHANGED" and "High DPI Desktop Application Development on
// Windows"): a top-level window of this thread takes the DPI of the monitor it is created on,
// and when a move or a resize leaves it mostly on a monitor of another DPI it gets that one,
// with WM_DPICHANGED sent at once. Its suggested rectangle keeps the window's top-left corner
// and scales its size by the two DPIs; none is sent while the window handles one.
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
