// The pop-up menu's commands: start and stop, show, topmost, window effects, settings, exit
// and the process priority.
#include "app/commands.h"

#include "alarm/alarm_action.h"
#include "app/apply_settings.h"
#include "app/power.h"
#include "app/sampling.h"
#include "app/tray_icon.h"
#include "app/window_actions.h"
#include "counters/counter_query.h"
#include "res/resource.h"
#include "window/layered.h"
#include "window/placement.h"
#include "window/tray.h"

namespace {

void ToggleSampling(AppState* app, HWND window) {
    if (app->Query) {
        KillTimer(window, TIMER_SAMPLE);
        CloseCounters(app->Pdh, &app->Query, app->Run, 2);
        return;
    }
    if (!OpenCounters(app, window))
        return;
    ControlAlarms(3, &app->RunFlag, app->Settings.Slot, 2);
    StartSampleTimer(app, window);
    SetTimer(window, TIMER_TRIM, TrimDelayMs, nullptr);
}

void ToggleShowGraph(AppState* app, HWND window) {
    MainSettings* main = &app->Settings.Main;
    main->Prop ^= PropShown;
    if (main->Prop & PropShown) {
        if (ShiftHeld())
            BringOnScreen(window, (main->Prop & PropTopmost) != 0, app->Dpi);
        ShowGraphWindow(app, ShowOnTop);
    } else {
        HideGraphWindow(app);
    }
    SetTrayTip(app, window);
}

void ToggleTopmost(AppState* app, HWND window) {
    app->RunFlag ^= Topmost;
    app->Settings.Main.Prop ^= PropTopmost;
    HWND after = (app->RunFlag & Topmost) ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void ToggleWindowEffect(AppState* app, HWND window, uint32_t propBit) {
    if (!app->LayeredCaps)
        return;
    app->Settings.Main.Prop ^= propBit;
    app->RunFlag &= ~(LayAlpha | LayColorKey | LayClickThrough);
    app->RunFlag |= ApplyWindowEffects(window, &app->Settings.Main);
}

void SetPriority(AppState* app, int32_t priority, DWORD priorityClass) {
    // The result is not looked at: real time without the right quietly becomes high.
    app->Settings.Main.Priority = priority;
    SetPriorityClass(GetCurrentProcess(), priorityClass);
    ChoosePowerThrottling(priority);
}

} // namespace

bool OnCommand(AppState* app, HWND window, UINT id) {
    switch (id) {
    case IDM_START:
        ToggleSampling(app, window);
        return true;
    case IDM_SHOWGRAPH:
        ToggleShowGraph(app, window);
        return true;
    case IDM_TOPMOST:
        ToggleTopmost(app, window);
        return true;
    case IDM_TRANSLUCENT:
        ToggleWindowEffect(app, window, PropTranslucent);
        return true;
    case IDM_CLEARBACK:
        ToggleWindowEffect(app, window, PropClearBack);
        return true;
    case IDM_CLICKTHROUGH:
        ToggleWindowEffect(app, window, PropClickThrough);
        return true;
    case IDM_SETTINGS:
        RunSettingsCommand(app, window);
        return true;
    case IDM_EXIT:
        PostMessageW(window, WM_CLOSE, 0, 0);
        return true;
    case IDM_PRIO_REALTIME:
        SetPriority(app, 3, REALTIME_PRIORITY_CLASS);
        return true;
    case IDM_PRIO_HIGH:
        SetPriority(app, 2, HIGH_PRIORITY_CLASS);
        return true;
    case IDM_PRIO_ABOVE:
        SetPriority(app, 1, ABOVE_NORMAL_PRIORITY_CLASS);
        return true;
    case IDM_PRIO_NORMAL:
        SetPriority(app, 0, NORMAL_PRIORITY_CLASS);
        return true;
    case IDM_PRIO_BELOW:
        SetPriority(app, -1, BELOW_NORMAL_PRIORITY_CLASS);
        return true;
    case IDM_PRIO_IDLE:
        SetPriority(app, -2, IDLE_PRIORITY_CLASS);
        return true;
    case IDM_ALARM:
        ControlAlarms(-1, &app->RunFlag, app->Settings.Slot, 2);
        return true;
    default:
        return false;
    }
}
