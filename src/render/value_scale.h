// Value scaling: counter samples to pixel rows between a graph's baseline and its top row.
#pragma once

#include <cstdint>

#include "render/dpi_math.h"
#include "render/draw_flags.h"

// A pixel position; the Win32 painter hands these to GDI as POINTs.
struct PixelPoint {
    int32_t x;
    int32_t y;
};

// A pixel rectangle, right and bottom exclusive; the Win32 painter converts from RECT.
struct PixelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The value added to every sample before scaling, chosen by the rounding bits of drawFlag:
// half a pixel step, a pixel step less one, or 0 (always 0 when span is not positive).
int64_t RoundingBias(uint32_t drawFlag, int64_t valMax, int64_t span);

// One point per sample, the newest in the column right - 1 and each older one a 96-DPI column
// further left (ScaleToDpi(k, dpi) pixels for the k-th before the newest), so the graph spans
// the same time at every scale; at 96 DPI that is one point per pixel column. As many of the
// newest entries of the ring as fit in rect (and at most ringSize) are taken. Returns the
// number of points written, or 0 with nothing written when an argument cannot be scaled (no
// buffer or ring, ringSize or valMax not positive, ringIndex outside the ring, no width,
// negative span). points must have room for min(width, ringSize) entries.
int ScaleHistory(PixelPoint* points, const PixelRect* rect, const int64_t* ring, int ringSize,
                 int32_t ringIndex, int64_t valMax, int64_t bias, int32_t dpi = BaseDpi);

// The top row of the latest-value column: never above rect->top, and below the baseline for
// values scaled under zero. rect->bottom (an empty column) when valMax is not positive.
int32_t ScaleLatest(int64_t latest, int64_t bias, const PixelRect* rect, int64_t valMax);
