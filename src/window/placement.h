// Placement of the graph window: hit testing, snapping, the corner by the tray, the work area.
#pragma once

#include <windows.h>

#include "render/draw_resources.h"
#include "settings/settings_model.h"
#include "window/monitors.h"

// The taskbar's edge (ABE_LEFT when it cannot be asked).
int TaskbarEdge();
// Moves the window, keeping its size, to the work-area corner beside the notification
// area. Returns 0 when the window rectangle cannot be read.
int PlaceNearTray(HWND window, BOOL repaint);
// The least and the largest size of the window at dpi, as the mouse can give it: 16 x 16 and
// 250 x 150 at 96 DPI.
PixelPoint LeastWindowSize(int dpi);
PixelPoint LargestWindowSize(int dpi);
// Pulls the window fully into the work area of the monitor it is mostly on, or of the nearest
// one when it is on none, at a size the mouse could give it at dpi, and applies the topmost
// wish.
int BringOnScreen(HWND window, bool topmost, int dpi);
// Pulls the window fully into the work area of the monitor it is mostly on, or of the nearest
// one when it is on none, at a size the mouse could give it at dpi. True when it moved or was
// sized.
bool PullOnScreen(HWND window, int dpi);
// When the window shows less than a square of 16 pixels at dpi inside the work area of every
// monitor, or has a size the mouse could not give it, pulls it fully into the work area of the
// one it is mostly on, or of the nearest, at a usable size. True when it moved or was sized.
bool KeepOnScreen(HWND window, int dpi);
// Where the window saved at (x, y) with a size of width x height at 96 DPI starts, and at which
// DPI (*dpi), worked out before it is moved so that the one move leaves it on a monitor whose
// scale its size was made for. It takes the scale of the monitor the saved size lies mostly on
// (or is nearest to). Should the rectangle at that scale lie mostly on a monitor of another
// (a place by the boundary of two monitors of different scales, where the larger size lies
// mostly on the one and the smaller mostly on the other), it is pulled into the first one's
// work area.
RECT PlanStartPlace(int x, int y, int width, int height, int* dpi);
// The hit-test answer for the WM_NCHITTEST point: sizing borders, corners, or the body, as
// wide as they are at the window's dpi.
LRESULT HitTestFrame(HWND window, LPARAM point, int dpi);
// Snaps a move to the work-area edges of the monitor the new place is on, within main's snap
// distance scaled to dpi, and fits a size to graph 1's grid (graph holds its sizes in pixels), as
// main asks.
void AdjustWindowPos(int edge, WINDOWPOS* pos, const MainSettings* main, const DrawResources* graph,
                     int dpi);
