// The DPI of the graph window and of the taskbar, through the per-monitor calls where the
// system has them.
#include "window/dpi.h"

#include "port/system_library.h"
#include "window/monitors.h"

namespace {

using DpiForWindowProc = UINT(WINAPI*)(HWND);
using MetricsForDpiProc = int(WINAPI*)(int, UINT);
using DpiForMonitorProc = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

// MDT_EFFECTIVE_DPI of GetDpiForMonitor: the DPI the user's scale setting gives the monitor.
constexpr int EffectiveDpi = 0;

// Looked up once: user32 and shcore stay loaded for the life of the process.
struct DpiCalls {
    bool Looked;
    DpiForWindowProc DpiForWindow;
    MetricsForDpiProc MetricsForDpi;
    DpiForMonitorProc DpiForMonitor; // Windows 8.1 on
};
DpiCalls TheDpiCalls;

const DpiCalls* Calls() {
    DpiCalls* calls = &TheDpiCalls;
    if (!calls->Looked) {
        calls->Looked = true;
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        calls->DpiForWindow = SystemEntry<DpiForWindowProc>(user32, "GetDpiForWindow");
        calls->MetricsForDpi = SystemEntry<MetricsForDpiProc>(user32, "GetSystemMetricsForDpi");
        calls->DpiForMonitor =
            SystemEntry<DpiForMonitorProc>(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    }
    return calls;
}

// The system DPI: what the screen's device context reports to this process.
int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The system's answer for monitor: 0 before Windows 8.1.
UINT SystemMonitorDpi(HMONITOR monitor) {
    const DpiCalls* calls = Calls();
    UINT dpi = 0, dpiY = 0;
    if (!calls->DpiForMonitor || !monitor ||
        FAILED(calls->DpiForMonitor(monitor, EffectiveDpi, &dpi, &dpiY)))
        return 0;
    return dpi;
}

// The system's answer for window: its own DPI from Windows 10 version 1607, its monitor's
// from Windows 8.1, else 0.
UINT SystemWindowDpi(HWND window) {
    const DpiCalls* calls = Calls();
    if (!window)
        return 0;
    if (calls->DpiForWindow)
        return calls->DpiForWindow(window);
    return SystemMonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

} // namespace

int WindowDpi(HWND window) {
    const MonitorLibrary* monitors = Monitors();
    UINT dpi = monitors->WindowDpi ? monitors->WindowDpi(window) : SystemWindowDpi(window);
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int MonitorDpi(HMONITOR monitor) {
    const MonitorLibrary* monitors = Monitors();
    UINT dpi = monitors->MonitorDpi ? monitors->MonitorDpi(monitor) : SystemMonitorDpi(monitor);
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int SmallIconSizeAt(int dpi) {
    const DpiCalls* calls = Calls();
    int size = calls->MetricsForDpi ? calls->MetricsForDpi(SM_CXSMICON, static_cast<UINT>(dpi))
                                    : MulDiv(GetSystemMetrics(SM_CXSMICON), dpi, SystemDpi());
    return size > 0 ? size : MulDiv(16, dpi, USER_DEFAULT_SCREEN_DPI);
}

int TaskbarDpi() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    UINT dpi = taskbar ? SystemWindowDpi(taskbar) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}
