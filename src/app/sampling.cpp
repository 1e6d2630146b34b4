// The sampling cycle: the sample tick, the redraw it asks for, and the working-set trim.
#include "app/sampling.h"

#include "alarm/alarm_action.h"
#include "app/tray_icon.h"
#include "app/window_actions.h"
#include "counters/counter_query.h"
#include "render/draw_resources_build.h"

namespace {

// The vertical grid lines move one 96-DPI column per sample, with the history.
void StepGridPhase(DrawResources* res) {
    res->GridPhase = res->GridPhase < res->GridColumns - 1 ? res->GridPhase + 1 : 0;
}

void RenewTrayIcon(AppState* app, HWND window) {
    uint32_t prop = app->Settings.Main.Prop;
    if (prop & PropNoTrayIcon)
        return;
    if ((prop & PropNoIconGraph) && (app->RunFlag & TrayIcon))
        return; // the plain program icon needs no refresh
    // The taskbar may have taken another scale since the last picture (its scale changes
    // after the messages that announce it).
    if (ReadTrayScale(app))
        RescaleTrayDrawing(app);
    bool unchanged = false;
    HICON image = MakeTrayImage(app, app->Run, &unchanged);
    // The shell's work for an update is the largest cost of a redraw: a picture that is
    // pixel for pixel the one shown is not sent again.
    if (unchanged && image && app->TrayImage && (app->RunFlag & TrayIcon)) {
        DestroyIcon(image);
        return;
    }
    // An icon lost with a restarted taskbar comes back here.
    PutTrayIcon(app, window, image, false);
}

} // namespace

// One sample of every graph. Allocates nothing: it runs every Interval all day long.
void OnSampleTimer(AppState* app, HWND window) {
    const CounterLibrary* pdh = app->Pdh;
    if (pdh->CollectQueryData(app->Query) != ERROR_SUCCESS)
        return; // nothing stored, and the grid stands still with the samples

    // Notifications come from the tray icon; none while it is turned off on the General page or
    // the notification area has not taken it.
    AlarmContext context = {(app->RunFlag & TrayIcon) ? window : nullptr, TrayIconId,
                            app->SettingsPath[0] ? app->SettingsPath : nullptr};
    bool alarmStillRuns = false;
    for (int i = 0; i < 2; i++) {
        CounterRun* run = &app->Run[i];
        int64_t previous = run->Latest;
        int64_t value;
        if (ReadCounter(pdh, run, &value)) {
            StoreSample(run, value);
            StepGridPhase(&app->GraphRes[i]);
            StepGridPhase(&app->IconRes[i]);
            if (run->AlarmState & 1)
                EvaluateAlarm(&app->Settings.Slot[i], previous, value, context);
        }
        // A read that failed this once leaves the graph's alarm running.
        if (run->AlarmState & 1)
            alarmStillRuns = true;
    }
    if ((app->RunFlag & AlarmRunning) && !alarmStillRuns)
        app->RunFlag &= ~AlarmRunning;
    // Drawing follows once the tick has returned, after the alarms of the same tick.
    PostMessageW(window, RedrawMsg, 0, 0);
}

void OnTrimTimer(HWND window) {
    // Start-up pages are not needed again; a tray utility should not keep them resident.
    KillTimer(window, TIMER_TRIM);
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

void BuildGraphDrawing(AppState* app, int graph) {
    BuildGraphResources(&app->GraphRes[graph], &app->Settings.Style[graph],
                        &app->Settings.Slot[graph], app->Dpi);
    BuildIconResources(&app->IconRes[graph], &app->Settings.Style[graph], app->TrayDpi);
}

void RescaleGraphDrawing(AppState* app, int32_t dpi) {
    app->Dpi = dpi;
    for (int i = 0; i < 2; i++) {
        DrawResources* res = &app->GraphRes[i];
        if (i == 0 || res->Dpi != 0) {
            // The grid's phase counts samples: it stays with the history at any scale.
            int32_t phase = res->GridPhase;
            BuildGraphResources(res, &app->Settings.Style[i], &app->Settings.Slot[i], dpi);
            res->GridPhase = phase;
        }
        app->Run[i].TextWidth = 0;
    }
}

int OpenCounters(AppState* app, HWND window) {
    const CounterLibrary* pdh = app->Pdh;
    app->Query = OpenCounterQuery(pdh, window);
    if (!app->Query)
        return 0;
    app->RunFlag &= ~(AlarmArmed | AlarmRunning);
    for (int i = 0; i < 2; i++) {
        app->Run[i].TextWidth = 0;
        if (!AddGraphCounter(pdh, app->Query, &app->Settings.Slot[i], &app->Run[i]))
            continue;
        BuildGraphDrawing(app, i);
        ResetCounterRun(&app->Run[i]);
    }

    // The first collection is the reference for rate counters; its values are not read.
    if (app->Run[0].Counter && pdh->CollectQueryData(app->Query) == ERROR_SUCCESS)
        return 1;
    CloseCounters(pdh, &app->Query, app->Run, 2);
    ShowCounterError(app->Instance, window, &app->Settings.Slot[0]);
    return 0;
}

LRESULT OnRedraw(AppState* app, HWND window) {
    // A hidden window is not painted; it is painted just before it is shown again.
    if ((app->RunFlag & Shown) && app->Surface) {
        PaintSurface(app);
        InvalidateRect(window, nullptr, FALSE);
    }
    RenewTrayIcon(app, window);
    return 0;
}
