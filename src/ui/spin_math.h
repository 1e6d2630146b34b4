// The spinner's arithmetic: the next multiple of the step up or down, the ends, the clamp.
#pragma once

#include <cstdint>

// Scroll requests of a vertical scroll bar, as the system numbers them.
enum : uint32_t {
    SpinLineUp = 0,
    SpinLineDown = 1,
    SpinPageUp = 2,
    SpinPageDown = 3,
    SpinTop = 6,
    SpinBottom = 7,
};

// The value an edit box of value shows after the scroll request (the message's whole wParam)
// on a spinner of range low ... high with step: up to the next multiple of step above, down
// to the next one below, the top or bottom end, then kept within the range. Requests without
// meaning here (the thumb, the end of scrolling) keep value, clamped.
int64_t SpinValue(int64_t value, uint32_t request, int32_t low, int32_t high, int32_t step);
