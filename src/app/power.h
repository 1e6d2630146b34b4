// Whether anyone can see the desktop, and the program's part in saving power: the session's
// lock and connection and the display's power as Windows reports them, sleep and resume, the
// sample timer's tolerance and the process's power throttling.
#pragma once

#include <cstdint>

#include <windows.h>

#include "app/app_state.h"

// Registers the graph window for the session's and the display's notifications. A system that
// refuses either (or lacks it) leaves the desktop counted as always seen.
void WatchPresence(AppState* app, HWND window);
// Undoes WatchPresence; at the window's destruction.
void StopWatchingPresence(AppState* app, HWND window);
// WM_WTSSESSION_CHANGE: the session locked or unlocked, connected or disconnected.
void OnSessionChange(AppState* app, HWND window, WPARAM change);
// WM_POWERBROADCAST: the display's state, sleep and resume. Returns what the message returns.
LRESULT OnPowerBroadcast(AppState* app, HWND window, WPARAM event, LPARAM data);

// Starts (or restarts) the sample timer at the settings' interval, with a tolerance that lets
// the system fire it together with other timers where the system offers that.
void StartSampleTimer(AppState* app, HWND window);
// Lets Windows run the process on its efficient cores and clocks (power throttling of execution
// speed) at normal priority or below; a user who asked for a higher priority wants the samples
// on time, and the process is then kept out of it.
void ChoosePowerThrottling(int32_t priority);
