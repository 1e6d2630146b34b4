// The sampling cycle: the sample tick, the redraw it asks for, and the working-set trim.
#include "app/sampling.h"

#include "alarm/alarm_action.h"
#include "alarm/alarm_eval.h"
#include "app/power.h"
#include "app/tray_icon.h"
#include "app/window_actions.h"
#include "counters/counter_query.h"
#include "port/port.h"
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

// Adds graph's counter again from its path as the user typed it, so that an empty instance
// "()" takes the instance there is now. The new counter takes the old one's place only once it
// was added: a graph whose counter cannot be had keeps the one it had, and its history. At a
// resume a counter that was added counts as new; a re-add for failed reads, or one that failed,
// paces the next.
void ReAddCounter(AppState* app, int graph, uint32_t now, bool atResume) {
    CounterRun* run = &app->Run[graph];
    CounterSlot* slot = &app->Settings.Slot[graph];
    PDH_HCOUNTER fresh = AddSlotCounter(app->Pdh, app->Query, slot);
    if (fresh) {
        bool late = !run->Counter;
        RemoveGraphCounter(app->Pdh, run);
        run->Counter = fresh;
        if (late) {
            // Not to be had when sampling started: the graph starts now, as it would have then.
            ResetCounterRun(run);
            StartLateAlarm(slot, &app->RunFlag);
        } else if (run->AlarmState & AlarmStateRunning) {
            // The last value may be another instance's, or hours old: an alarm that compares
            // with the previous sample waits for a sample of the new counter.
            run->AlarmState |= AlarmStateFirstPending;
        }
    }
    NoteAdd(run, now, !(fresh && atResume));
}

} // namespace

bool StartGraphCounter(AppState* app, int graph) {
    CounterRun* run = &app->Run[graph];
    bool added = AddGraphCounter(app->Pdh, app->Query, &app->Settings.Slot[graph], run);
    NoteAdd(run, PortTickCount(), !added);
    return added;
}

// One sample of every graph. Allocates nothing but in the rare re-add of a lost counter: it
// runs every Interval all day long.
void OnSampleTimer(AppState* app, HWND window) {
    const CounterLibrary* pdh = app->Pdh;
    uint32_t now = PortTickCount();
    for (int i = 0; i < 2; i++) {
        if ((app->Settings.Slot[i].PdhFlag & PdhUse) && ReAddDue(&app->Run[i], now))
            ReAddCounter(app, i, now, false);
    }
    // A collection that fails is a failed read of every graph.
    bool collected = pdh->CollectQueryData(app->Query) == ERROR_SUCCESS;

    // Notifications come from the tray icon; none while it is turned off on the General page or
    // the notification area has not taken it. An alarm's notification is sent while nobody can
    // see the desktop too: Windows keeps it for the user's return.
    AlarmContext context = {(app->RunFlag & TrayIcon) ? window : nullptr, TrayIconId,
                            app->SettingsPath[0] ? app->SettingsPath : nullptr};
    bool alarmStillRuns = false;
    bool changed = false;
    for (int i = 0; i < 2; i++) {
        CounterRun* run = &app->Run[i];
        if (run->Counter) {
            bool answered = CounterAnswers(run);
            int64_t previous = run->Latest;
            int64_t value;
            bool read = collected && ReadCounter(pdh, run, &value);
            NoteRead(run, read);
            if (read) {
                StoreSample(run, value);
                StepGridPhase(&app->GraphRes[i]);
                StepGridPhase(&app->IconRes[i]);
                if (run->AlarmState & 1)
                    EvaluateAlarm(&app->Settings.Slot[i], previous, value, context);
            }
            // Nothing is stored for a failed read, and the grid stands still with the samples;
            // the caption stops showing the last value as if it were current.
            changed = changed || read || answered;
        }
        // A read that failed leaves the graph's alarm running.
        if (run->AlarmState & 1)
            alarmStillRuns = true;
    }
    if ((app->RunFlag & AlarmRunning) && !alarmStillRuns)
        app->RunFlag &= ~AlarmRunning;
    // Drawing follows once the tick has returned, after the alarms of the same tick; none while
    // nobody can see the desktop, which is drawn afresh when someone can.
    if (changed && !app->Absence)
        PostMessageW(window, RedrawMsg, 0, 0);
}

void ResumeSampling(AppState* app, HWND window) {
    uint32_t now = PortTickCount();
    for (int i = 0; i < 2; i++) {
        if (app->Settings.Slot[i].PdhFlag & PdhUse)
            ReAddCounter(app, i, now, true);
    }
    // The reference for the rates: a rate over the sleep means nothing, so nothing is read.
    app->Pdh->CollectQueryData(app->Query);
    RestartAlarmHolds(app->Settings.Slot, 2, now);
    StartSampleTimer(app, window);
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
        if (!StartGraphCounter(app, i))
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
    // Nobody can see the desktop: neither the window nor the shell is worked for a picture that
    // nobody sees. Both are brought up to date when someone can.
    if (app->Absence)
        return 0;
    // A hidden window is not painted; it is painted just before it is shown again.
    if ((app->RunFlag & Shown) && app->Surface) {
        PaintSurface(app);
        InvalidateRect(window, nullptr, FALSE);
    }
    RenewTrayIcon(app, window);
    return 0;
}
