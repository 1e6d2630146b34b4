// The window's back buffer and blank bitmaps.
#pragma once

#include <windows.h>

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

// A bottom-up DIB section of width x height at 1 or 4 bits per pixel whose colour table is
// palette (2 or 16 entries), every pixel index 0; bits receives the pixel pointer. Null for
// another depth, a size of 0 or less, or on failure. The caller deletes it.
HBITMAP CreateIndexedSurface(int width, int height, int depth, const COLORREF* palette,
                             void** bits);
