// Display-scale arithmetic: sizes kept at 96 DPI, scaled to the DPI of a window or the
// taskbar at run time and back again for the settings file.
#pragma once

#include <cstdint>

// The DPI at which every size in the settings file is given (100 %).
constexpr int32_t BaseDpi = 96;

// value * dpi / 96, rounded half away from zero as MulDiv rounds; a DPI of 0 or less counts
// as 96, so a record that never learnt its DPI draws at 100 %.
int32_t ScaleToDpi(int32_t value, int32_t dpi);

// value * 96 / dpi, rounded the same way: the size at 100 % of a size at dpi. For every v,
// ScaleFromDpi(ScaleToDpi(v, dpi), dpi) == v when dpi >= 96, so repeated saves never drift.
int32_t ScaleFromDpi(int32_t value, int32_t dpi);

// The width of a thin line at dpi: the whole factor only (1 below 200 %, 2 from 200 % to
// 299 % ...), so a one-pixel line stays sharp instead of becoming a blurred 1.5.
int32_t LineWidthAt(int32_t dpi);
