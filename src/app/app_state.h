// AppState: the one process-wide record of settings and run-time state of the graph window.
#pragma once

#include <cstdint>

#include <windows.h>

#include "counters/counter_library.h"
#include "counters/counter_run.h"
#include "render/draw_resources.h"
#include "res/version.h"
#include "settings/settings_model.h"
#include "window/run_flag.h"

// Program messages and timers of the graph window.
constexpr UINT TrayCallbackMsg = WM_APP + 25;
constexpr UINT RedrawMsg = WM_APP + 27;
// Posted at start when the settings file could not be read: the user is told once the program
// runs.
constexpr UINT ReadErrorMsg = WM_APP + 29;
// Posted at start when the show/hide hot key could not be registered: the user is told once.
constexpr UINT HotKeyErrorMsg = WM_APP + 30;
constexpr UINT_PTR TIMER_SAMPLE = 1;
constexpr UINT_PTR TIMER_TRAYPEEK = 2;
constexpr UINT_PTR TIMER_HOVER = 3;
constexpr UINT_PTR TIMER_TRIM = 4;
constexpr UINT TrimDelayMs = 2000;
constexpr int HotKeyId = 1;
constexpr UINT TrayIconId = 1;

constexpr wchar_t GraphClassName[] = L" FerroGraphClass ";

// Where the settings file is: named by the command line, beside the program, or in the user's
// application data because the program's folder refuses new files.
enum class SettingsPlace { None, Argument, Beside, AppData };

// Why nobody can see the desktop now; none of them: it is seen.
enum : uint32_t {
    AbsentLocked = 0x1,       // the session is locked
    AbsentDisconnected = 0x2, // the session is not connected to a console or a remote desktop
    AbsentDisplayOff = 0x4,   // the display is off
    AbsentClosing = 0x8,      // the window is being destroyed: nothing is drawn or sampled again
};

struct AppState {
    // Start-up values.
    HINSTANCE Instance;
    const wchar_t* SettingsArg; // the rest of the wide command line; never null after creation
    uint32_t OsMajor;           // 0 when the version could not be read
    // The settings file was there at start-up but could not be read whole (locked, too
    // large, unreadable): the program runs on its defaults and never writes over it in this
    // run, even once it has become readable. SettingsReadError is the reason's error code.
    bool SettingsRefused;
    uint32_t SettingsReadError;
    // The settings file's path, decided once at start, and where it is; empty when there is
    // none.
    wchar_t SettingsPath[PathChars];
    SettingsPlace SettingsPlace;
    // A failed save has been reported, or may not be (the session is ending): later failures
    // of this run are not.
    bool SaveErrorShown;

    // Settings records and what the counters have measured.
    SettingsRecords Settings;
    CounterRun Run[2];

    // Drawing resources: window graphs 1 and 2, tray-icon graphs 1 and 2.
    DrawResources GraphRes[2];
    DrawResources IconRes[2];

    // Run-time state of the window.
    HWND Window;
    uint32_t RunFlag;
    UINT TaskbarCreatedMsg;
    int32_t InSizeMove;
    int32_t SizeEdge;
    int32_t Peeking;
    POINT PeekPoint;
    uint32_t LayeredCaps;
    HBITMAP Surface;
    HICON TrayImage;
    // Display scale: the window's DPI, which its graph drawing is made for (0 counts as 96),
    // and the taskbar's DPI with the tray icon's size there, which the icon is drawn at.
    int32_t Dpi;
    int32_t TrayDpi;
    int32_t TraySize;
    // The window is being put at its saved place: a scale change on the way takes the place
    // being set, not the rectangle the system suggests.
    bool Placing;
    // Where the start put the window, and whether from a settings file: while it is still
    // there, a change of the work area (the taskbar coming up after the program at sign-in)
    // puts it again.
    RECT StartPlace;
    bool StartLoaded;
    // Presence: why nobody can see the desktop (Absent bits), whether the system sleeps, and the
    // registrations of the session's and the display's notifications.
    uint32_t Absence;
    bool Asleep;
    HMODULE Wtsapi;
    bool SessionWatched;
    HPOWERNOTIFY DisplayWatch;
    PDH_HQUERY Query;          // the counter query, or null while sampling is closed
    const CounterLibrary* Pdh; // the counter library; the system's unless a test set one
};
