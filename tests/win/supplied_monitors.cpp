// Supplied monitors, answering MonitorFromRect, GetMonitorInfoW and EnumDisplayMonitors as
// Windows does, except that they have no device context to enumerate by.
#include "supplied_monitors.h"

#include <cstdint>
#include <cwchar>
#include <map>

#include "window/monitors.h"

namespace {

struct Supplied {
    std::vector<SuppliedMonitor> monitors;
    uintptr_t generation = 0; // a new set of handles with every set of monitors
    std::map<HWND, UINT> windowDpis;
    HHOOK hook = nullptr;
    bool delivering = false;
};
Supplied TheSupplied;

constexpr uintptr_t HandleBase = 0x4D000000;

HMONITOR HandleOf(size_t index) {
    return reinterpret_cast<HMONITOR>(HandleBase + TheSupplied.generation * 0x100 + index * 4 + 4);
}

// The index of a handle of the current set, or -1.
long IndexOf(HMONITOR monitor) {
    uintptr_t value =
        reinterpret_cast<uintptr_t>(monitor) - HandleBase - TheSupplied.generation * 0x100;
    if (value < 4 || value % 4 || value / 4 > TheSupplied.monitors.size())
        return -1;
    return static_cast<long>(value / 4 - 1);
}

HMONITOR WINAPI FromRect(LPCRECT rect, DWORD flags) {
    const auto& list = TheSupplied.monitors;
    if (list.empty())
        return nullptr;
    // The largest intersection wins; with none, the smallest distance between the rectangles
    // (the first of equals, as for an empty rectangle on the edge between two monitors).
    int64_t bestArea = 0, bestDistance = INT64_MAX;
    size_t largest = list.size(), nearest = 0;
    for (size_t i = 0; i < list.size(); i++) {
        const RECT& m = list[i].monitor;
        int64_t w = int64_t{rect->right < m.right ? rect->right : m.right} -
                    (rect->left > m.left ? rect->left : m.left);
        int64_t h = int64_t{rect->bottom < m.bottom ? rect->bottom : m.bottom} -
                    (rect->top > m.top ? rect->top : m.top);
        if (w > 0 && h > 0 && w * h > bestArea) {
            bestArea = w * h;
            largest = i;
        }
        int64_t dx = rect->right <= m.left   ? int64_t{m.left} - rect->right
                     : m.right <= rect->left ? int64_t{rect->left} - m.right
                                             : 0;
        int64_t dy = rect->bottom <= m.top   ? int64_t{m.top} - rect->bottom
                     : m.bottom <= rect->top ? int64_t{rect->top} - m.bottom
                                             : 0;
        if (dx * dx + dy * dy < bestDistance) {
            bestDistance = dx * dx + dy * dy;
            nearest = i;
        }
    }
    if (largest < list.size())
        return HandleOf(largest);
    if (flags == MONITOR_DEFAULTTONEAREST)
        return HandleOf(nearest);
    return flags == MONITOR_DEFAULTTOPRIMARY ? HandleOf(0) : nullptr;
}

BOOL WINAPI GetInfo(HMONITOR monitor, LPMONITORINFO info) {
    long index = IndexOf(monitor);
    if (index < 0 || !info ||
        (info->cbSize != sizeof(MONITORINFO) && info->cbSize != sizeof(MONITORINFOEXW)))
        return FALSE;
    const SuppliedMonitor& m = TheSupplied.monitors[index];
    info->rcMonitor = m.monitor;
    info->rcWork = m.work;
    info->dwFlags = index == 0 ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize == sizeof(MONITORINFOEXW))
        swprintf(reinterpret_cast<MONITORINFOEXW*>(info)->szDevice, CCHDEVICENAME,
                 L"\\\\.\\DISPLAY%ld", index + 1);
    return TRUE;
}

BOOL WINAPI Enumerate(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data) {
    if (dc)
        return FALSE; // no supplied monitor has a device context; the program never asks for one
    for (size_t i = 0; i < TheSupplied.monitors.size(); i++) {
        // With a clip, only the monitors that meet it; without a dc, each with its whole
        // rectangle.
        RECT r = TheSupplied.monitors[i].monitor, meet;
        if (clip && !IntersectRect(&meet, &r, clip))
            continue;
        if (!callback(HandleOf(i), nullptr, &r, data))
            break;
    }
    return TRUE;
}

UINT WINAPI DpiOfMonitor(HMONITOR monitor) {
    long index = IndexOf(monitor);
    return index < 0 ? 0 : TheSupplied.monitors[index].dpi;
}

UINT DpiWhereWindowIs(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return DpiOfMonitor(FromRect(&r, MONITOR_DEFAULTTONEAREST));
}

UINT WINAPI DpiOfWindow(HWND window) {
    auto found = TheSupplied.windowDpis.find(window);
    if (found != TheSupplied.windowDpis.end())
        return found->second;
    UINT dpi = DpiWhereWindowIs(window); // as given at its creation
    TheSupplied.windowDpis[window] = dpi;
    return dpi;
}

bool TopLevel(HWND window) {
    return !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
}

// Follows the top-level windows of the thread after each message they handled.
LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && !TheSupplied.delivering && TopLevel(sent->hwnd)) {
        HWND window = sent->hwnd;
        auto& dpis = TheSupplied.windowDpis;
        if (sent->message == WM_NCCREATE) {
            dpis[window] = DpiWhereWindowIs(window);
        } else if (sent->message == WM_NCDESTROY) {
            dpis.erase(window);
        } else if (sent->message == WM_WINDOWPOSCHANGED) {
            UINT before = DpiOfWindow(window);
            UINT now = DpiWhereWindowIs(window);
            if (now != before && before && now) {
                dpis[window] = now;
                RECT r;
                GetWindowRect(window, &r);
                RECT suggested = {r.left, r.top,
                                  r.left + MulDiv(r.right - r.left, static_cast<int>(now),
                                                  static_cast<int>(before)),
                                  r.top + MulDiv(r.bottom - r.top, static_cast<int>(now),
                                                 static_cast<int>(before))};
                TheSupplied.delivering = true;
                SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(now, now),
                             reinterpret_cast<LPARAM>(&suggested));
                TheSupplied.delivering = false;
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const MonitorLibrary TheLibrary = {FromRect, GetInfo, Enumerate, DpiOfMonitor, DpiOfWindow};

} // namespace

SuppliedMonitors::SuppliedMonitors(std::vector<SuppliedMonitor> monitors) {
    Replace(std::move(monitors));
    UseMonitors(&TheLibrary);
    TheSupplied.hook =
        SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
}

SuppliedMonitors::~SuppliedMonitors() {
    UnhookWindowsHookEx(TheSupplied.hook);
    TheSupplied.hook = nullptr;
    UseMonitors(nullptr);
    TheSupplied.monitors.clear();
    TheSupplied.windowDpis.clear();
}

void SuppliedMonitors::Replace(std::vector<SuppliedMonitor> monitors) {
    TheSupplied.monitors = std::move(monitors);
    TheSupplied.generation++;
}

SuppliedMonitor RealPrimaryMonitor() {
    SuppliedMonitor m = {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, {}};
    GetWorkArea(&m.work);
    return m;
}
