// The spinner's arithmetic.
#include "ui/spin_math.h"

int64_t SpinValue(int64_t value, uint32_t request, int32_t low, int32_t high, int32_t step) {
    switch (request) {
    case SpinLineUp:
    case SpinPageUp:
        if (step > 0)
            value = value + step - value % step;
        break;
    case SpinLineDown:
    case SpinPageDown:
        if (step > 0)
            value = value % step ? value - value % step : value - step;
        break;
    case SpinTop:
        value = high;
        break;
    case SpinBottom:
        // The bottom end needs no clamp: it is the lower of the two ends.
        return low < high ? low : high;
    default:
        break;
    }
    if (value < low)
        value = low;
    else if (value > high)
        value = high;
    return value;
}
