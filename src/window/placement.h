// Placement of the graph window: hit testing, snapping, the corner by the tray, the work area.
#pragma once

#include <windows.h>

#include "render/draw_resources.h"
#include "settings/settings_model.h"

// The primary screen without the taskbar; the whole screen when it cannot be read.
void GetWorkArea(RECT* area);
// The taskbar's edge (ABE_LEFT when it cannot be asked).
int TaskbarEdge();
// Moves the window, keeping its size, to the work-area corner beside the notification
// area. Returns 0 when the window rectangle cannot be read.
int PlaceNearTray(HWND window, BOOL repaint);
// Pulls the window fully into the work area and applies the topmost wish.
int BringOnScreen(HWND window, bool topmost);
// The hit-test answer for the WM_NCHITTEST point: sizing borders, corners, or the body, as
// wide as they are at the window's dpi.
LRESULT HitTestFrame(HWND window, LPARAM point, int dpi);
// Snaps a move to the work-area edges, within main's snap distance scaled to dpi, and fits a
// size to graph 1's grid (graph holds its sizes in pixels), as main asks.
void AdjustWindowPos(int edge, WINDOWPOS* pos, const MainSettings* main, const DrawResources* graph,
                     int dpi);
