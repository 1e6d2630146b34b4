// The settings window: a dialog frame with a tab control, OK and Cancel, showing one page
// dialog at a time, with its own message loop.
#pragma once

#include <windows.h>

#include "counters/counter_library.h"
#include "settings/settings_model.h"

// Shows the page of the index in lParam.
constexpr UINT THM_SELECTPAGE = WM_USER + 114;
constexpr int TabControlId = 12320;

struct TabPage {
    HWND Window; // null until the page was first shown
    const wchar_t* Label;
    HINSTANCE Instance;
    int TemplateId;
    DLGPROC Procedure;
    void* Parameter; // the record the page edits
};

struct TabHostSpec {
    HINSTANCE Instance;
    wchar_t Caption[32];
    HWND Owner;
    int PageCount;   // 4 or 7
    int CurrentPage; // on entry the page to show first; afterwards the page shown
    TabPage* Pages;  // room for 7
    int SizingPage;  // the page shown first, whose size the frame is laid out around
    bool Placed;     // the frame has had its first place
    bool Closed;     // the frame closed itself (OK or Cancel) and posted the quit that ends it
};

// The page shown last in this run, -1 before the first opening.
extern int LastSettingsPage;

// Opens the settings window over owner and returns when it closes: 1 for OK, 2 for Cancel,
// -1 when it could not be made, or the code of a quit message it did not post itself. The
// counter pages use pdh to fill in empty instances and to browse counters; their alarm dialogs
// refuse the settings file at settingsPath (none: no file) as a log, and the About box names
// it. settingsArgument is the settings file the program was started with, which the sign-in
// entry passes on (none: the program finds its own).
int RunSettingsWindow(HINSTANCE instance, HWND owner, MainSettings* main, CounterSlot* slots,
                      DrawStyle* styles, const CounterLibrary* pdh,
                      const wchar_t* settingsPath = nullptr,
                      const wchar_t* settingsArgument = nullptr);
// Runs the frame that host describes until it closes; the result as for RunSettingsWindow.
int RunTabHost(TabHostSpec* host);
