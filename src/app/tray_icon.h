// The program's icon in the notification area: its picture, its tooltip, and whether it is
// there.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// The tray image: the program icon when the icon graph is off, else the graphs' picture from
// runs (null: only background and frame). unchanged as for MakeTrayIcon. The caller owns it.
HICON MakeTrayImage(AppState* app, CounterRun* runs, bool* unchanged = nullptr);
// Reads the taskbar's DPI and the tray icon's size there into app. Returns true when either
// changed.
bool ReadTrayScale(AppState* app);
// Makes the icon graphs' drawing again for app->TrayDpi, the grids keeping their phase.
void RescaleTrayDrawing(AppState* app);
// After a change of the system's settings, the displays or the taskbar: when the tray icon's
// size or scale changed, makes the icon graphs' drawing for it and the icon again.
void RenewTrayScale(AppState* app, HWND window);

// Makes image the icon's picture, in app->TrayImage in place of the one before: modifies the
// icon when it is in the tray and adds it when it is not (at start, when OK brings it back,
// after Explorer restarted). An added icon carries the tooltip of the window's state, a
// modified one only with withTip. Notes in the run flag whether the icon is there now.
void PutTrayIcon(AppState* app, HWND window, HICON image, bool withTip);
// Gives the icon, if it is in the tray, the tooltip of the window's state.
void SetTrayTip(AppState* app, HWND window);
// Takes the icon out of the notification area, if it is there, and destroys its image.
void RemoveTrayIcon(AppState* app, HWND window);
