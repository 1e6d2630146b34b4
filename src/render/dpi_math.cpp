// Display-scale arithmetic.
#include "render/dpi_math.h"

namespace {

int32_t DpiOrBase(int32_t dpi) {
    return dpi > 0 ? dpi : BaseDpi;
}

// a * b / c rounded half away from zero, held in the 32-bit range; c > 0.
int32_t MulDivRounded(int32_t a, int32_t b, int32_t c) {
    int64_t product = static_cast<int64_t>(a) * b;
    int64_t half = c / 2;
    int64_t q = product >= 0 ? (product + half) / c : (product - half) / c;
    if (q > INT32_MAX)
        return INT32_MAX;
    if (q < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(q);
}

} // namespace

int32_t ScaleToDpi(int32_t value, int32_t dpi) {
    return MulDivRounded(value, DpiOrBase(dpi), BaseDpi);
}

int32_t ScaleFromDpi(int32_t value, int32_t dpi) {
    return MulDivRounded(value, BaseDpi, DpiOrBase(dpi));
}

int32_t LineWidthAt(int32_t dpi) {
    int32_t factor = DpiOrBase(dpi) / BaseDpi;
    return factor > 1 ? factor : 1;
}
