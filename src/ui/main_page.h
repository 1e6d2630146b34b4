// The settings window's first page: the window-wide settings of MainSettings.
#pragma once

#include <windows.h>

#include "settings/settings_model.h"

// The page's creation parameter.
struct MainPageParam {
    MainSettings* Main;              // the record the page edits
    const wchar_t* SettingsPath;     // the settings file in use, named in the About box
    const wchar_t* SettingsArgument; // the file the sign-in entry names; null: the program's own
    // What the page showed at its start, so that OK changes only what the user changed.
    WORD ShownHotKey;
    bool ShownSignIn;
};

// Where the hot key is tried at OK, under an id of the page's own.
constexpr int TrialHotKeyId = 0xB001;

// The page's dialog procedure; its creation parameter is a MainPageParam.
INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
