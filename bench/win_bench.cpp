// Benchmarks of the program's costly paths on the platform (under Wine on Linux): the sample
// tick, the painter, the tray icon and its update, a whole redraw, loading and saving the
// settings file, each beside the floor it cannot go below. Prints medians and spread.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <wtsapi32.h>

#include "alarm/alarm_action.h"
#include "alarm/alarm_text.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "app/power.h"
#include "app/sampling.h"
#include "app/startup.h"
#include "counters/counter_query.h"
#include "counters/counter_run.h"
#include "render/dpi_math.h"
#include "render/draw_resources_build.h"
#include "render/painter.h"
#include "render/surface.h"
#include "render/tray_picture.h"
#include "settings/settings_schema.h"
#include "settings/settings_store.h"
#include "window/dpi.h"
#include "window/frame_math.h"
#include "window/placement.h"
#include "window/tray.h"

namespace {

double TicksPerMicrosecond() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1e6;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Runs fn warm-up times, then reps times, each timed alone; prints median, 10th and 90th
// percentiles in microseconds.
void Measure(const char* name, int reps, const std::function<void()>& fn) {
    static const double perUs = TicksPerMicrosecond();
    for (int i = 0; i < reps / 10 + 3; i++)
        fn();
    std::vector<double> us(static_cast<size_t>(reps));
    for (int i = 0; i < reps; i++) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        fn();
        QueryPerformanceCounter(&b);
        us[static_cast<size_t>(i)] = static_cast<double>(b.QuadPart - a.QuadPart) / perUs;
    }
    std::sort(us.begin(), us.end());
    auto at = [&](double q) { return us[static_cast<size_t>(q * (reps - 1))]; };
    std::printf("%-44s median %9.1f us   p10 %9.1f   p90 %9.1f   (%d runs)\n", name, at(0.5),
                at(0.1), at(0.9), reps);
    std::fflush(stdout);
}

// Runs fn and floor by turns, reps times each, so that both meet the same state of the
// machine; prints each as Measure does, and their ratio of medians.
void MeasurePair(const char* name, const char* floorName, int reps, const std::function<void()>& fn,
                 const std::function<void()>& floor) {
    static const double perUs = TicksPerMicrosecond();
    for (int i = 0; i < reps / 10 + 3; i++) {
        fn();
        floor();
    }
    std::vector<double> us[2] = {std::vector<double>(static_cast<size_t>(reps)),
                                 std::vector<double>(static_cast<size_t>(reps))};
    const std::function<void()>* both[2] = {&fn, &floor};
    for (int i = 0; i < reps; i++) {
        for (int k = 0; k < 2; k++) {
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            (*both[k])();
            QueryPerformanceCounter(&b);
            us[k][static_cast<size_t>(i)] = static_cast<double>(b.QuadPart - a.QuadPart) / perUs;
        }
    }
    const char* names[2] = {name, floorName};
    double medians[2];
    for (int k = 0; k < 2; k++) {
        std::sort(us[k].begin(), us[k].end());
        auto at = [&](double q) { return us[k][static_cast<size_t>(q * (reps - 1))]; };
        medians[k] = at(0.5);
        std::printf("%-44s median %9.1f us   p10 %9.1f   p90 %9.1f   (%d runs)\n", names[k],
                    at(0.5), at(0.1), at(0.9), reps);
    }
    std::printf("%-44s %.2f x the floor\n", "", medians[0] / medians[1]);
    std::fflush(stdout);
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(file);
}

// Counts the tray pictures the program hands the shell, and passes every call on to it.
int TrayPictures = 0;
BOOL WINAPI CountTrayPicture(DWORD message, PNOTIFYICONDATAW data) {
    if ((message == NIM_ADD || message == NIM_MODIFY) && (data->uFlags & NIF_ICON))
        TrayPictures++;
    return Shell_NotifyIconW(message, data);
}

// Counts the graph window's paints taken from the queue.
int Paints = 0;
HWND PaintedWindow = nullptr;
LRESULT CALLBACK CountPaint(int code, WPARAM removal, LPARAM message) {
    const MSG* msg = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && msg->message == WM_PAINT &&
        msg->hwnd == PaintedWindow)
        Paints++;
    return CallNextHookEx(nullptr, code, removal, message);
}

int64_t ProcessTime100ns() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) {
        return static_cast<int64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
    };
    return value(kernel) + value(user);
}

// The program at work on its own sample timer, as a user leaves it running: each sample is
// timed from its WM_TIMER to the end of what it asks for (the redraw, the paint). Appends the
// times in microseconds to *times, and adds the process's CPU time over the run to *cpu100ns.
// With bare, the samples come from the thread timer bareTimer instead and do bare() alone.
void RunSamples(HWND window, int samples, std::vector<double>* times, int64_t* cpu100ns,
                UINT_PTR bareTimer = 0, const std::function<void()>& bare = nullptr) {
    static const double perUs = TicksPerMicrosecond();
    int64_t cpuBefore = ProcessTime100ns();
    for (int done = 0; done < samples;) {
        MSG msg;
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0)
            break;
        bool sample =
            msg.message == WM_TIMER && (bare ? !msg.hwnd && msg.wParam == bareTimer
                                             : msg.hwnd == window && msg.wParam == TIMER_SAMPLE);
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        if (sample && bare) {
            bare();
        } else {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (sample)
            PumpMessages();
        QueryPerformanceCounter(&b);
        if (sample) {
            times->push_back(static_cast<double>(b.QuadPart - a.QuadPart) / perUs);
            done++;
        }
    }
    *cpu100ns += ProcessTime100ns() - cpuBefore;
}

} // namespace

int wmain() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterGraphClass(instance);
    HWND window = CreateGraphWindow(instance);
    if (!window) {
        std::printf("no graph window\n");
        return 1;
    }
    PumpMessages(); // the start command opens the counters
    AppState* app = &TheApp;
    if (!app->Query) {
        std::printf("the counters did not open\n");
        return 1;
    }
    // A full ring.
    for (int i = 0; i < HistorySize + 4; i++) {
        SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0);
        PumpMessages();
    }
    std::printf("Ferrogauge benchmarks, default window (142 x 43 at 100 %%), full history\n");

    Measure("sample tick (collect, read, store, grid)", 2000, [&] {
        SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0);
        MSG msg; // the redraw it asks for is measured on its own
        PeekMessageW(&msg, window, RedrawMsg, RedrawMsg, PM_REMOVE);
    });
    Measure("  floor: PdhCollectQueryData", 2000, [&] { app->Pdh->CollectQueryData(app->Query); });

    // A sample at the 1 s interval while the window and the tray are drawn, and while the
    // session is locked (as Windows tells it), by turns so that both meet the same machine.
    {
        std::printf("\nsamples at 1 s on the program's own timer, seen and locked by turns\n");
        app->Settings.Main.Interval = 1000;
        StartSampleTimer(app, window);
        SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0);
        PumpMessages();
        UseShellNotify(CountTrayPicture);
        PaintedWindow = window;
        HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, CountPaint, nullptr, GetCurrentThreadId());
        constexpr int Block = 10, Rounds = 3;
        // The floor at the same pace: the collection and the reads alone, on a timer of the
        // thread's while the program's own is stopped.
        auto collection = [&] {
            app->Pdh->CollectQueryData(app->Query);
            int64_t value;
            for (const CounterRun& run : app->Run)
                ReadCounter(app->Pdh, &run, &value);
        };
        std::vector<double> busy[3];
        int64_t cpu[3] = {};
        int paints[3] = {}, pictures[3] = {};
        int catchUpPaints = 0, catchUpPictures = 0;
        for (int round = 0; round < Rounds; round++) {
            for (int turn = 0; turn < 3; turn++) {
                if (turn == 1)
                    SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1);
                Paints = TrayPictures = 0;
                if (turn == 2) {
                    KillTimer(window, TIMER_SAMPLE);
                    UINT_PTR bare = SetTimer(nullptr, 0, 1000, nullptr);
                    RunSamples(window, Block, &busy[turn], &cpu[turn], bare, collection);
                    KillTimer(nullptr, bare);
                    StartSampleTimer(app, window);
                } else {
                    RunSamples(window, Block, &busy[turn], &cpu[turn]);
                }
                paints[turn] += Paints;
                pictures[turn] += TrayPictures;
                if (turn == 1) {
                    Paints = TrayPictures = 0;
                    SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 1);
                    PumpMessages();
                    catchUpPaints += Paints;
                    catchUpPictures += TrayPictures;
                }
            }
        }
        if (hook)
            UnhookWindowsHookEx(hook);
        UseShellNotify(nullptr);
        const char* names[3] = {"seen: window and tray drawn", "locked",
                                "  floor: collection and reads alone"};
        int samples = Block * Rounds;
        // The process's CPU time comes in the system's clock ticks (10 to 16 ms), too coarse
        // for one sample: it is the whole run's, divided, beside the samples' own times.
        for (int k = 0; k < 3; k++) {
            std::vector<double>& t = busy[k];
            std::sort(t.begin(), t.end());
            double mean = 0;
            for (double v : t)
                mean += v / static_cast<double>(t.size());
            std::printf("%-44s median %9.1f us   mean %9.1f   p90 %9.1f   process CPU %7.1f "
                        "us/sample\n",
                        names[k], t[t.size() / 2], mean, t[t.size() * 9 / 10],
                        static_cast<double>(cpu[k]) / 10.0 / samples);
            if (k < 2)
                std::printf("%-44s paints %d, tray pictures %d (%d samples)\n", "", paints[k],
                            pictures[k], samples);
        }
        std::printf("%-44s paints %d, tray pictures %d (%d unlocks)\n", "at the unlocks",
                    catchUpPaints, catchUpPictures, Rounds);
        KillTimer(window, TIMER_SAMPLE);
    }

    // The ticks above came faster than the kernel's clock advances, so the processor's
    // history now swings between 0 and 100 from one column to the next. Paint a steady
    // history instead: a slow triangle wave between 10 and 60 %, like a working machine.
    for (int i = 0; i < HistorySize; i++)
        app->Run[0].History[i] = 10 + (i % 100 < 50 ? i % 100 : 100 - i % 100);
    app->Run[0].Latest = app->Run[0].History[app->Run[0].RingIndex];

    // The painter, the tray picture and the whole redraw at 100, 150 and 200 %: the window
    // and its drawing made for the scale, as a move to a monitor of that scale makes them, and
    // the tray icon drawn at the small-icon size there.
    const int dpis[] = {96, 144, 192};
    for (int dpi : dpis) {
        int width = ScaleToDpi(142, dpi), height = ScaleToDpi(43, dpi);
        RECT suggested = {0, 0, width, height};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        app->TrayDpi = dpi;
        app->TraySize = SmallIconSizeAt(dpi);
        for (int i = 0; i < 2; i++)
            BuildIconResources(&app->IconRes[i], &app->Settings.Style[i], dpi);
        int side = app->TraySize;
        std::printf("\n%d DPI: window %d x %d (%.2f x the pixels at 96), tray icon %d x %d\n", dpi,
                    width, height, double(width) * height / (142.0 * 43.0), side, side);

        struct Variant {
            const char* name;
            uint32_t flags;
        };
        uint32_t saved = app->GraphRes[0].DrawFlag;
        const Variant variants[] = {
            {"PaintGraphs, defaults (fill, clear caption)", saved},
            {"PaintGraphs, line", (saved & ~(HistFill | HistBars)) | HistLine},
            {"PaintGraphs, bars", saved | HistBars | HistFill},
            {"PaintGraphs, opaque caption", saved & ~CaptionClear},
        };
        for (const Variant& v : variants) {
            app->GraphRes[0].DrawFlag = v.flags;
            Measure(v.name, 3000, [&] {
                PaintGraphs(app->Surface, app->GraphRes, app->Settings.Slot, app->Run, 2);
            });
        }
        app->GraphRes[0].DrawFlag = saved;
        HDC screen = GetDC(nullptr);
        HDC target = CreateCompatibleDC(screen);
        HBITMAP targetBitmap = CreateCompatibleBitmap(screen, width, height);
        HGDIOBJ oldTarget = SelectObject(target, targetBitmap);
        HDC source = CreateCompatibleDC(screen);
        Measure("  floor: one BitBlt of the surface", 3000, [&] {
            HGDIOBJ old = SelectObject(source, app->Surface);
            BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
        });
        SelectObject(target, oldTarget);
        DeleteObject(targetBitmap);
        DeleteDC(target);
        DeleteDC(source);
        ReleaseDC(nullptr, screen);

        {
            // The floor: the icon made from bitmaps of the kinds MakeTrayIcon keeps.
            HBITMAP mask = CreateBitmap(side, side, 1, 1, nullptr);
            HBITMAP color = CreateIndexedSurface(side, side, 4, ColorPalette16, nullptr);
            ICONINFO info = {TRUE, 0, 0, mask, color};
            MeasurePair(
                "MakeTrayIcon", "  floor: CreateIconIndirect and DestroyIcon", 2000,
                [&] {
                    DestroyIcon(
                        MakeTrayIcon(side, side, app->IconRes, app->Settings.Slot, app->Run, 2));
                },
                [&] { DestroyIcon(CreateIconIndirect(&info)); });
            DeleteObject(mask);
            DeleteObject(color);
        }
        Measure("  floor: NIM_MODIFY with a ready icon", 500, [&] {
            NotifyTrayIcon(NIM_MODIFY, window, TrayIconId, 0, app->TrayImage, nullptr);
        });
        // After a sample the grid has moved and the new icon goes to the tray; with nothing
        // changed since the last redraw the tray is not updated.
        Measure("whole redraw after a sample", 500, [&] {
            for (DrawResources* r : {&app->GraphRes[0], &app->IconRes[0]})
                r->GridPhase = r->GridPhase < r->GridColumns - 1 ? r->GridPhase + 1 : 0;
            SendMessageW(window, RedrawMsg, 0, 0);
        });
        Measure("whole redraw, nothing changed", 500,
                [&] { SendMessageW(window, RedrawMsg, 0, 0); });
    }
    std::printf("\n");

    // The settings file: the one written from nothing, and one of 60 KiB.
    std::wstring small = TempFile(L"ferro-bench-small.ini");
    std::wstring large = TempFile(L"ferro-bench-large.ini");
    DeleteFileW(small.c_str());
    SaveSettingsFile(small.c_str(), &app->Settings);
    std::string foreign;
    for (int s = 0; foreign.size() < 60 * 1024; s++) {
        foreign += "[Foreign" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < 20; k++)
            foreign += "Key" + std::to_string(k) + "=some value of the user's\r\n";
    }
    WriteFileBytes(large, foreign);
    SaveSettingsFile(large.c_str(), &app->Settings);
    Measure("SaveSettings, the default file", 300,
            [&] { SaveSettingsFile(small.c_str(), &app->Settings); });
    Measure("SaveSettings, 60 KiB with foreign sections", 100,
            [&] { SaveSettingsFile(large.c_str(), &app->Settings); });
    SettingsRecords records = {};
    CounterRun runs[2] = {};
    Measure("LoadSettings, the default file", 300,
            [&] { LoadSettingsFile(small.c_str(), &records, runs); });
    Measure("LoadSettings, 60 KiB with foreign sections", 100,
            [&] { LoadSettingsFile(large.c_str(), &records, runs); });
    // The same default file as Notepad's "Unicode" (UTF-16 with its mark), held as UTF-8 while
    // it is edited.
    std::wstring wide = TempFile(L"ferro-bench-wide.ini");
    WriteFileBytes(wide, "\xFF\xFE");
    SaveSettingsFile(wide.c_str(), &app->Settings);
    Measure("SaveSettings, the default file as UTF-16", 300,
            [&] { SaveSettingsFile(wide.c_str(), &app->Settings); });
    Measure("LoadSettings, the default file as UTF-16", 300,
            [&] { LoadSettingsFile(wide.c_str(), &records, runs); });
    std::printf("\n");

    // A log firing: the check that its file is neither a device nor the settings file (under
    // any name), beside the append it guards.
    std::wstring log = TempFile(L"ferro-bench.log");
    CounterSlot* slot = &app->Settings.Slot[0];
    wchar_t logFile[MAX_PATH], logLine[] = L"%v\\r\\n";
    lstrcpynW(logFile, log.c_str(), MAX_PATH);
    wchar_t* savedFile = slot->AlarmFile;
    wchar_t* savedOption = slot->AlarmOption;
    slot->AlarmFile = logFile;
    slot->AlarmOption = logLine;
    MeasurePair(
        "a log firing's check of its file", "  floor: the log line's append", 500,
        [&] { RefusedAlarmFile(AlarmWriteLog, logFile, small.c_str()); },
        [&] { AppendAlarmLog(slot, 87, 80); });
    slot->AlarmFile = savedFile;
    slot->AlarmOption = savedOption;
    DeleteFileW(log.c_str());
    DeleteFileW(wide.c_str());
    DeleteFileW(small.c_str());
    DeleteFileW(large.c_str());
    std::printf("\n");

    // One step of a drag: the snap asks which monitor the new place is on and its work area.
    WINDOWPOS step = {window, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER};
    MeasurePair(
        "a move step, snapped to its monitor's work area", "  floor: the primary's work area",
        3000,
        [&] {
            WINDOWPOS pos = step;
            AdjustWindowPos(EdgeMoving, &pos, &app->Settings.Main, &app->GraphRes[0], app->Dpi);
        },
        [] {
            RECT work;
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        });
    RECT place = {300, 200, 442, 243};
    Measure("  of which MonitorFromRect", 3000,
            [&] { MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST); });
    HMONITOR monitor = MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST);
    Measure("  of which GetMonitorInfoW", 3000, [&] {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        GetMonitorInfoW(monitor, &info);
    });

    DestroyWindow(window);
    PumpMessages();
    return 0;
}
