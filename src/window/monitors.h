// The monitors: which monitor a rectangle is on, its rectangle and its work area. The program
// asks them through one table, so that tests can supply two or three monitors.
#pragma once

#include <windows.h>

#include "render/value_scale.h"

// A system rectangle for the placement arithmetic.
inline PixelRect ToPixel(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The monitor calls the program makes. By default the table holds the system's; a test may
// put in monitors of its own, which must answer as Windows does:
struct MonitorLibrary {
    // The monitor whose rectangle has the largest intersection with rect. When it meets
    // none: null for MONITOR_DEFAULTTONULL, the primary monitor for MONITOR_DEFAULTTOPRIMARY,
    // the monitor nearest to rect for MONITOR_DEFAULTTONEAREST.
    HMONITOR(WINAPI* FromRect)(LPCRECT rect, DWORD flags);
    // Fills rcMonitor, rcWork (the monitor less the taskbar and other application bars) and
    // dwFlags (MONITORINFOF_PRIMARY) when cbSize is that of MONITORINFO or MONITORINFOEXW,
    // szDevice too with the latter; FALSE for anything that is not a monitor (any more).
    BOOL(WINAPI* GetInfo)(HMONITOR monitor, LPMONITORINFO info);
    // With a null dc and clip, calls back once for each monitor with its handle, a null dc
    // and its rectangle, in virtual-screen coordinates, until the callback answers FALSE.
    BOOL(WINAPI* Enumerate)(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data);
    // The DPI the user's scale gives monitor, as GetDpiForMonitor's effective DPI; and the DPI
    // window was last given, as GetDpiForWindow answers: a window takes the DPI of the monitor
    // it is created on, and a move that leaves it mostly on a monitor of another DPI gives it
    // that one, with WM_DPICHANGED. 0 when they cannot tell. Null in the system's table, whose
    // answers come from the DPI calls the system has (see window/dpi.h).
    UINT(WINAPI* MonitorDpi)(HMONITOR monitor);
    UINT(WINAPI* WindowDpi)(HWND window);
};

// The system's monitor calls.
const MonitorLibrary* SystemMonitors();
// The table the program asks: the system's, unless a test put in another.
const MonitorLibrary* Monitors();
// Puts library in for Monitors(); null puts the system's back.
void UseMonitors(const MonitorLibrary* library);

// The primary monitor without the taskbar; the whole screen when it cannot be read.
void GetWorkArea(RECT* area);
// The work area of the monitor box is mostly on, or of the one nearest to it when it is on
// none; the primary's when the monitors cannot be asked.
void NearestWorkArea(const RECT* box, RECT* work);
// The work area of the monitor window is mostly on (or nearest to); the primary's for no
// window.
void WindowWorkArea(HWND window, RECT* work);
// True when at least a side x side square of box lies inside the work area of one monitor.
bool ShowsOnSomeMonitor(const RECT* box, int side);
// Moves box, keeping its size, into the work area of the monitor anchor is mostly on, when box
// is mostly on another; true when it moved.
bool KeepOnMonitorOf(RECT* box, const RECT* anchor);
