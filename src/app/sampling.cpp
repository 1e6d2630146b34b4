// The sampling cycle: the sample tick, the redraw it asks for, and the working-set trim.
#include "app/sampling.h"

#include "app/hover.h"
#include "render/painter.h"

namespace {

void OnSampleTick(AppState*, HWND window) {
    // Counters are not read yet; the tick only asks for the redraw that ends it.
    PostMessageW(window, RedrawMsg, 0, 0);
}

void OnTrimTimer(HWND window) {
    // Start-up pages are not needed again; a tray utility should not keep them resident.
    KillTimer(window, TIMER_TRIM);
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1),
                             static_cast<SIZE_T>(-1));
}

} // namespace

LRESULT OnTimer(AppState* app, HWND window, WPARAM id) {
    switch (id) {
    case TIMER_SAMPLE:
        OnSampleTick(app, window);
        break;
    case TIMER_TRAYPEEK:
        OnTrayPeekTimer(app, window);
        break;
    case TIMER_HOVER:
        OnHoverTimer(app, window);
        break;
    case TIMER_TRIM:
        OnTrimTimer(window);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnRedraw(AppState* app, HWND window) {
    PaintGraphs(app);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}
