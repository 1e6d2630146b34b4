// The monitor table and the work areas the program places its windows in.
#include "window/monitors.h"

#include "window/frame_math.h"

namespace {

const MonitorLibrary TheSystemMonitors = {MonitorFromRect, GetMonitorInfoW, EnumDisplayMonitors,
                                          nullptr, nullptr};
const MonitorLibrary* TheMonitors = &TheSystemMonitors;

// The work area of monitor; false when it cannot be read.
bool MonitorWorkArea(HMONITOR monitor, RECT* work) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !Monitors()->GetInfo(monitor, &info))
        return false;
    *work = info.rcWork;
    return true;
}

struct SquareSearch {
    PixelRect box;
    int side;
    bool asked; // a monitor was reported
    bool found;
};

BOOL CALLBACK SquareOnMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* search = reinterpret_cast<SquareSearch*>(data);
    RECT work;
    if (!MonitorWorkArea(monitor, &work))
        return TRUE;
    search->asked = true;
    PixelRect area = ToPixel(work);
    search->found = ShowsSquare(&search->box, &area, search->side);
    return !search->found;
}

} // namespace

const MonitorLibrary* SystemMonitors() {
    return &TheSystemMonitors;
}

const MonitorLibrary* Monitors() {
    return TheMonitors;
}

void UseMonitors(const MonitorLibrary* library) {
    TheMonitors = library ? library : &TheSystemMonitors;
}

void GetWorkArea(RECT* area) {
    // The primary monitor is the one that holds the desktop's origin.
    const RECT origin = {0, 0, 1, 1};
    if (MonitorWorkArea(Monitors()->FromRect(&origin, MONITOR_DEFAULTTOPRIMARY), area))
        return;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, area, 0))
        *area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void NearestWorkArea(const RECT* box, RECT* work) {
    if (!MonitorWorkArea(Monitors()->FromRect(box, MONITOR_DEFAULTTONEAREST), work))
        GetWorkArea(work);
}

void WindowWorkArea(HWND window, RECT* work) {
    RECT box;
    if (window && GetWindowRect(window, &box))
        NearestWorkArea(&box, work);
    else
        GetWorkArea(work);
}

bool ShowsOnSomeMonitor(const RECT* box, int side) {
    SquareSearch search = {ToPixel(*box), side, false, false};
    Monitors()->Enumerate(nullptr, nullptr, SquareOnMonitor, reinterpret_cast<LPARAM>(&search));
    if (!search.asked) {
        RECT work;
        GetWorkArea(&work);
        PixelRect area = ToPixel(work);
        return ShowsSquare(&search.box, &area, side);
    }
    return search.found;
}

bool KeepOnMonitorOf(RECT* box, const RECT* anchor) {
    HMONITOR home = Monitors()->FromRect(anchor, MONITOR_DEFAULTTONEAREST);
    RECT work;
    if (Monitors()->FromRect(box, MONITOR_DEFAULTTONEAREST) == home ||
        !MonitorWorkArea(home, &work))
        return false;
    PixelRect r = ToPixel(*box);
    PixelRect area = ToPixel(work);
    PullIntoArea(&r, &area);
    *box = {r.left, r.top, r.right, r.bottom};
    return true;
}
