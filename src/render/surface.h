// The window's back buffer and the tray icon's picture.
#pragma once

#include <windows.h>

#include "counters/counter_run.h"
#include "render/draw_resources.h"
#include "settings/settings_model.h"

// Fill value of CreateSurface that leaves the new pixels as the system made them.
constexpr COLORREF SurfaceNoFill = 0xFF000000;

// A bottom-up DIB section of width x height at depth bits per pixel for dc (the screen's when
// null), filled with fill unless one of its top 8 bits is set; bits, when given, receives the
// pixel pointer. Null on failure; the caller deletes it.
HBITMAP CreateSurface(HDC dc, int width, int height, int depth, void** bits, COLORREF fill);

// A device-format bitmap of width x height made from depth-bit pixels that are all palette
// entry 0 (black without a palette). Depths 1, 4, 8, 16, 24 and 32; null for any other, for
// a size of 0 or less, or on failure. The caller deletes it.
HBITMAP CreateBlankBitmap(HDC dc, int width, int height, int depth, const COLORREF* palette);

// A width x height icon of the graphs drawn with the icon set res: the empty picture
// (background and frame) when runs is null. With IconBackClear in graph 1's DrawFlag, the
// pixels of its background colour are transparent. The caller destroys it. unchanged, when
// given, tells whether the picture is pixel for pixel the one this function made last.
HICON MakeTrayIcon(int width, int height, const DrawResources* res, const CounterSlot* slots,
                   CounterRun* runs, int count, bool* unchanged = nullptr);
// Tells MakeTrayIcon that the tray now shows an image it did not make, so that no picture
// counts as unchanged until it has made one again.
void ForgetTrayPicture();
// Frees the bitmaps and device contexts MakeTrayIcon keeps between icons.
void ReleaseTrayIconCanvas();
