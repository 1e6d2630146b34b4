// Value scaling: the rounding bias, the history points and the top of the latest column.
#include "render/value_scale.h"

namespace {

// (value + bias) * span / valMax. The sum and the product wrap in 64 bits, as the graph has
// always drawn them; they are taken unsigned so that the wrap is defined.
int64_t ScaledSteps(int64_t value, int64_t bias, int64_t span, int64_t valMax) {
    uint64_t sum = static_cast<uint64_t>(value) + static_cast<uint64_t>(bias);
    int64_t product = static_cast<int64_t>(sum * static_cast<uint64_t>(span));
    return product / valMax;
}

// The row steps rows above baseline. A row beyond the 32-bit range is held at its end, so
// that a sample far below zero stays below the plot instead of wrapping into it.
int32_t RowAbove(int64_t baseline, int64_t steps) {
    if (steps > baseline - INT32_MIN)
        return INT32_MIN;
    if (steps < baseline - INT32_MAX)
        return INT32_MAX;
    return static_cast<int32_t>(baseline - steps);
}

} // namespace

int64_t RoundingBias(uint32_t drawFlag, int64_t valMax, int64_t span) {
    if (span <= 0)
        return 0;
    if (drawFlag & DrawRoundHalf)
        return (valMax / span) >> 1;
    if (drawFlag & DrawRoundUp)
        return static_cast<int64_t>(static_cast<uint64_t>(valMax) - static_cast<uint64_t>(span)) /
               span;
    return 0;
}

int ScaleHistory(PixelPoint* points, const PixelRect* rect, const int64_t* ring, int ringSize,
                 int32_t ringIndex, int64_t valMax, int64_t bias, int32_t dpi) {
    if (!points || !rect || !ring || ringSize <= 0 || valMax <= 0)
        return 0;
    if (ringIndex < 0 || ringIndex >= ringSize)
        return 0;
    int64_t width = static_cast<int64_t>(rect->right) - rect->left;
    int64_t span = static_cast<int64_t>(rect->bottom) - rect->top - 1;
    if (width <= 0 || span < 0)
        return 0;

    // The oldest point k samples before the newest stands ScaleToDpi(k) <= width - 1 pixels
    // left of it; at 96 DPI every column holds one.
    int64_t fit = (width - 1) * BaseDpi / (dpi > 0 ? dpi : BaseDpi) + 1;
    if (fit > width)
        fit = width; // below 96 DPI, still no more points than columns
    int count = fit < ringSize ? static_cast<int>(fit) : ringSize;
    int64_t baseline = static_cast<int64_t>(rect->bottom) - 1;
    // Without a wrap every sample is from the newer segment. With one, the first olderCount
    // points come from the top of the ring, where entries may still hold the -1 of a reset.
    int olderCount = count <= ringIndex + 1 ? 0 : count - ringIndex - 1;
    int first = olderCount ? ringSize - olderCount : ringIndex - count + 1;
    int64_t newestX = static_cast<int64_t>(rect->right) - 1;

    for (int i = 0; i < count; i++) {
        int entry = first + i;
        if (entry >= ringSize)
            entry -= ringSize;
        int64_t value = ring[entry];
        int32_t y;
        if (value >= valMax)
            y = rect->top;
        else if (i < olderCount && value < 0)
            y = rect->bottom;
        else if (i < olderCount && value == 0)
            y = static_cast<int32_t>(baseline);
        else
            y = RowAbove(baseline, ScaledSteps(value, bias, span, valMax));
        points[i].x = static_cast<int32_t>(newestX - ScaleToDpi(count - 1 - i, dpi));
        points[i].y = y;
    }
    return count;
}

int32_t ScaleLatest(int64_t latest, int64_t bias, const PixelRect* rect, int64_t valMax) {
    if (valMax <= 0)
        return rect->bottom;
    int64_t baseline = static_cast<int64_t>(rect->bottom) - 1;
    int64_t span = baseline - rect->top;
    int64_t steps = ScaledSteps(latest, bias, span, valMax);
    // The clamp at the top is taken before the row is narrowed, so a value far above ValMax
    // still fills the column.
    if (steps >= span)
        return rect->top;
    return RowAbove(baseline, steps);
}
