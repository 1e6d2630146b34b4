// Presence and power: nothing is drawn while nobody can see the desktop, sampling sleeps with
// the system, and the timers and the process let Windows save power.
#include "app/power.h"

#include <wtsapi32.h>

#include "app/sampling.h"
#include "port/system_library.h"

namespace {

// GUID_CONSOLE_DISPLAY_STATE, spelled out so that no GUID library is needed.
constexpr GUID ConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// The display state's data: off, on, dimmed (a dimmed display is still seen).
constexpr DWORD DisplayOff = 0;

using RegisterSessionProc = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionProc = BOOL(WINAPI*)(HWND);
using RegisterPowerProc = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
using UnregisterPowerProc = BOOL(WINAPI*)(HPOWERNOTIFY);
using CoalescableTimerProc = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
using SetProcessInformationProc = BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID, DWORD);

// Sets or clears bit of the absence bits; when nobody could see the desktop before and someone
// can now, the window and the tray picture are brought up to date at once from the histories
// that sampling kept filling.
void SetAbsence(AppState* app, HWND window, uint32_t bit, bool absent) {
    uint32_t before = app->Absence;
    app->Absence = absent ? before | bit : before & ~bit;
    if (before && !app->Absence)
        SendMessageW(window, RedrawMsg, 0, 0);
}

bool IsDisplayState(const POWERBROADCAST_SETTING* setting) {
    return setting && IsEqualGUID(setting->PowerSetting, ConsoleDisplayState) &&
           setting->DataLength >= sizeof(DWORD);
}

void OnSuspend(AppState* app, HWND window) {
    // Nothing to sample while the system sleeps; the timer would fire at once on waking with a
    // rate measured over the sleep.
    KillTimer(window, TIMER_SAMPLE);
    app->Asleep = true;
}

// The sample timer's tolerance: a twentieth of the interval, so that a column comes at most
// 5 % of a step late, which the eye does not see; the rates stay exact, since they are measured
// over the collections' own times.
ULONG SampleTimerTolerance(UINT interval) {
    return interval / 20;
}

void OnResume(AppState* app, HWND window) {
    app->Asleep = false;
    if (app->Query && !(app->Absence & AbsentClosing))
        ResumeSampling(app, window);
}

} // namespace

void WatchPresence(AppState* app, HWND window) {
    app->Absence = 0;
    app->Asleep = false;
    // The session service can be turned off, and older systems lack either call: the desktop is
    // then counted as seen, as it always was.
    app->Wtsapi = LoadSystemLibrary(L"wtsapi32.dll");
    auto registerSession =
        SystemEntry<RegisterSessionProc>(app->Wtsapi, "WTSRegisterSessionNotification");
    app->SessionWatched = registerSession && registerSession(window, NOTIFY_FOR_THIS_SESSION);
    // Windows answers at once with the display's state now.
    auto registerPower = SystemEntry<RegisterPowerProc>(GetModuleHandleW(L"user32.dll"),
                                                        "RegisterPowerSettingNotification");
    app->DisplayWatch =
        registerPower ? registerPower(window, &ConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE)
                      : nullptr;
}

void StopWatchingPresence(AppState* app, HWND window) {
    if (app->DisplayWatch) {
        auto unregisterPower = SystemEntry<UnregisterPowerProc>(
            GetModuleHandleW(L"user32.dll"), "UnregisterPowerSettingNotification");
        if (unregisterPower)
            unregisterPower(app->DisplayWatch);
        app->DisplayWatch = nullptr;
    }
    if (app->SessionWatched) {
        auto unregisterSession =
            SystemEntry<UnregisterSessionProc>(app->Wtsapi, "WTSUnRegisterSessionNotification");
        if (unregisterSession)
            unregisterSession(window);
        app->SessionWatched = false;
    }
    if (app->Wtsapi) {
        FreeLibrary(app->Wtsapi);
        app->Wtsapi = nullptr;
    }
}

void OnSessionChange(AppState* app, HWND window, WPARAM change) {
    switch (change) {
    case WTS_SESSION_LOCK:
        SetAbsence(app, window, AbsentLocked, true);
        break;
    case WTS_SESSION_UNLOCK:
        SetAbsence(app, window, AbsentLocked, false);
        break;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
        SetAbsence(app, window, AbsentDisconnected, true);
        break;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
        SetAbsence(app, window, AbsentDisconnected, false);
        break;
    default:
        break; // sign-in and sign-out, remote control: nothing the window shows depends on them
    }
}

LRESULT OnPowerBroadcast(AppState* app, HWND window, WPARAM event, LPARAM data) {
    switch (event) {
    case PBT_POWERSETTINGCHANGE: {
        const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
        // The state is the console's display: a session on a remote desktop is seen on
        // another computer's, whatever the console's does.
        if (IsDisplayState(setting) && !GetSystemMetrics(SM_REMOTESESSION)) {
            DWORD state;
            CopyMemory(&state, setting->Data, sizeof(state));
            SetAbsence(app, window, AbsentDisplayOff, state == DisplayOff);
        }
        break;
    }
    case PBT_APMSUSPEND:
        OnSuspend(app, window);
        break;
    case PBT_APMRESUMEAUTOMATIC:
        // Sent at every resume, whether or not anyone is there.
        OnResume(app, window);
        break;
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMECRITICAL:
        // Follows the automatic resume when a user woke the system; alone, it still wakes
        // sampling that a suspend stopped.
        if (app->Asleep)
            OnResume(app, window);
        break;
    default:
        break;
    }
    return TRUE;
}

void StartSampleTimer(AppState* app, HWND window) {
    UINT interval = app->Settings.Main.Interval;
    static const auto coalescable =
        SystemEntry<CoalescableTimerProc>(GetModuleHandleW(L"user32.dll"), "SetCoalescableTimer");
    ULONG tolerance = SampleTimerTolerance(interval);
    if (coalescable && coalescable(window, TIMER_SAMPLE, interval, nullptr, tolerance))
        return;
    SetTimer(window, TIMER_SAMPLE, interval, nullptr);
}

void ChoosePowerThrottling(int32_t priority) {
    static const auto setInformation = SystemEntry<SetProcessInformationProc>(
        GetModuleHandleW(L"kernel32.dll"), "SetProcessInformation");
    if (!setInformation)
        return;
    PROCESS_POWER_THROTTLING_STATE state = {};
    state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
    state.ControlMask = PROCESS_POWER_THROTTLING_EXECUTION_SPEED;
    state.StateMask = priority <= 0 ? PROCESS_POWER_THROTTLING_EXECUTION_SPEED : 0;
    // Systems before Windows 10 1709 refuse the class; nothing else depends on it.
    setInformation(GetCurrentProcess(), ProcessPowerThrottling, &state, sizeof(state));
}
