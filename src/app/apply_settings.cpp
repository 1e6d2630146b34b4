// The settings command: opens the settings window and, after OK, brings the running program
// in line with the edited records: tray icon, window effects, drawing resources, counters and
// histories, alarms, the sampling period and the settings file.
#include "app/apply_settings.h"

#include "alarm/alarm_action.h"
#include "app/power.h"
#include "app/sampling.h"
#include "app/settings_file.h"
#include "app/tray_icon.h"
#include "app/window_actions.h"
#include "counters/counter_query.h"
#include "res/resource.h"
#include "ui/settings_window.h"
#include "window/layered.h"

namespace {

void ApplyTrayIcon(AppState* app, HWND window) {
    const MainSettings* main = &app->Settings.Main;
    if (main->Prop & PropNoTrayIcon) {
        RemoveTrayIcon(app, window);
        // Without an icon the window is the only way back: shown and clickable.
        if (!(main->Prop & PropShown))
            SendMessageW(window, WM_COMMAND, IDM_SHOWGRAPH, 0);
        if (main->Prop & PropClickThrough)
            SendMessageW(window, WM_COMMAND, IDM_CLICKTHROUGH, 0);
        if (main->Prop & PropClearBack)
            SendMessageW(window, WM_COMMAND, IDM_CLEARBACK, 0);
        return;
    }
    PutTrayIcon(app, window, MakeTrayImage(app, app->Run), true);
}

void ResetGraph(AppState* app, int graph) {
    ResetCounterRun(&app->Run[graph]);
    uint32_t flag = app->Settings.Slot[graph].AlarmFlag;
    if ((flag & AlarmUse) && (flag & AlarmAtStart))
        app->Run[graph].AlarmState = 1;
}

// Graph 2 shares graph 1's background, frame and geometry.
void ShareGeometry(DrawStyle* second, const DrawStyle* first) {
    second->ColBackPen = first->ColBackPen;
    second->ColBackBrush = first->ColBackBrush;
    second->ColFrame = first->ColFrame;
    second->LastWidth = first->LastWidth;
    second->BackWidth = first->BackWidth;
    second->BackHeight = first->BackHeight;
    second->FrameWidth = first->FrameWidth;
}

// After OK: the tray icon, the window effects, the drawing resources, the counters and
// histories, the alarms, the sampling period and the settings file, in that order.
void ApplySettings(AppState* app, HWND window) {
    SettingsRecords* s = &app->Settings;
    s->Main.ColWndLay = s->Style[0].ColBackBrush;
    ApplyTrayIcon(app, window);

    if (app->RunFlag & (LayAlpha | LayColorKey | LayClickThrough)) {
        app->RunFlag &= ~(LayAlpha | LayColorKey | LayClickThrough);
        app->RunFlag |= ApplyWindowEffects(window, &s->Main);
    }

    uint32_t changes = s->Slot[0].ChangeMask | s->Slot[1].ChangeMask;
    bool countersChanged = (changes & (ChangedUse | ChangedPath)) != 0;
    if (countersChanged)
        KillTimer(window, TIMER_SAMPLE);
    if (!app->Query) {
        app->Query = OpenCounterQuery(app->Pdh, window);
        if (!app->Query)
            return;
        // Sampling had been stopped: the new query gets every counter, as a start gives it,
        // so that the graphs run instead of standing still on an empty query.
        countersChanged = true;
    }

    for (int i = 0; i < 2; i++) {
        if (i == 1)
            ShareGeometry(&s->Style[1], &s->Style[0]);
        BuildGraphDrawing(app, i);
        app->Run[i].TextWidth = 0;
        if (countersChanged) {
            RemoveGraphCounter(app->Pdh, &app->Run[i]);
            StartGraphCounter(app, i);
            ResetGraph(app, i);
        } else if (changes & ChangedMaximum) {
            ResetGraph(app, i);
        }
    }
    ControlAlarms(2, &app->RunFlag, s->Slot, 2);

    if (countersChanged &&
        (!app->Run[0].Counter || app->Pdh->CollectQueryData(app->Query) != ERROR_SUCCESS)) {
        KillTimer(window, TIMER_SAMPLE);
        CloseCounters(app->Pdh, &app->Query, app->Run, 2);
        ShowCounterError(app->Instance, window, &s->Slot[0]);
    }
    if (app->Query)
        StartSampleTimer(app, window);
    if (!ShiftHeld())
        SaveSettings(app, window);
    SetTimer(window, TIMER_TRIM, TrimDelayMs, nullptr);
}

} // namespace

void RunSettingsCommand(AppState* app, HWND window) {
    if (app->RunFlag & SettingsOpen)
        return; // already open
    app->RunFlag |= SettingsOpen;
    UnregisterShowHotKey(app, window);
    app->Settings.Slot[0].ChangeMask = 0;
    app->Settings.Slot[1].ChangeMask = 0;

    if (RunSettingsWindow(
            app->Instance, window, &app->Settings.Main, app->Settings.Slot, app->Settings.Style,
            app->Pdh, app->SettingsPath[0] ? app->SettingsPath : nullptr,
            app->SettingsPlace == SettingsPlace::Argument ? app->SettingsPath : nullptr) == 1)
        ApplySettings(app, window);
    if (!IsWindow(window)) {
        // The session ended while the settings window was open: the graph window is gone
        // (its settings saved) and the program is on its way out.
        app->RunFlag &= ~SettingsOpen;
        return;
    }

    // On every path: the hot key comes back and the menu's items with it. Another program may
    // have taken it while the settings window had let it go: the user is told.
    bool hotKeyRefused = !RegisterShowHotKey(app, window);
    app->RunFlag &= ~SettingsOpen;
    if (hotKeyRefused)
        ReportHotKeyError(app);
}
