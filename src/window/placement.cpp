// Placement of the graph window: the work area, the corner by the tray, hit testing, snapping
// and grid fitting, on the arithmetic of frame_math.
#include "window/placement.h"

#include <shellapi.h>
#include <windowsx.h>

#include "render/dpi_math.h"
#include "window/dpi.h"
#include "window/frame_math.h"

namespace {

// The far edge of a span from start, held within the 32-bit range.
LONG Reach(int32_t start, int32_t length) {
    int64_t end = int64_t{start} + length;
    return static_cast<LONG>(end > INT32_MAX ? INT32_MAX : end < INT32_MIN ? INT32_MIN : end);
}

// The rectangle at (x, y) of width x height at 96 DPI scaled to dpi.
RECT ScaledAt(int x, int y, int width, int height, int dpi) {
    return {x, y, Reach(x, ScaleToDpi(width, dpi)), Reach(y, ScaleToDpi(height, dpi))};
}

// The DPI of the monitor r lies mostly on, or is nearest to.
int DpiWhere(const RECT& r) {
    return MonitorDpi(Monitors()->FromRect(&r, MONITOR_DEFAULTTONEAREST));
}

} // namespace

RECT PlanStartPlace(int x, int y, int width, int height, int* dpi) {
    RECT saved = ScaledAt(x, y, width, height, USER_DEFAULT_SCREEN_DPI);
    *dpi = DpiWhere(saved);
    RECT r = ScaledAt(x, y, width, height, *dpi);
    if (DpiWhere(r) != *dpi)
        KeepOnMonitorOf(&r, &saved);
    return r;
}

PixelPoint LeastWindowSize(int dpi) {
    return {ScaleToDpi(WndSideMin, dpi), ScaleToDpi(WndSideMin, dpi)};
}

PixelPoint LargestWindowSize(int dpi) {
    return {ScaleToDpi(WndWidthMax, dpi), ScaleToDpi(WndHeightMax, dpi)};
}

int TaskbarEdge() {
    APPBARDATA bar = {};
    bar.cbSize = sizeof(bar);
    return SHAppBarMessage(ABM_GETTASKBARPOS, &bar) ? static_cast<int>(bar.uEdge) : ABE_LEFT;
}

int PlaceNearTray(HWND window, BOOL repaint) {
    // The primary monitor's work area: the notification area is on its taskbar.
    RECT r, area;
    if (!GetWindowRect(window, &r))
        return 0;
    GetWorkArea(&area);
    PixelRect work = ToPixel(area);
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    PixelPoint corner = TrayCorner(TaskbarEdge(), w, h, &work);
    MoveWindow(window, corner.x, corner.y, w, h, repaint);
    return 1;
}

namespace {

// The window's rectangle at a size the mouse could give it at dpi, pulled fully into the work
// area of the monitor it is on, or of the nearest one; false when the window's rectangle cannot
// be read. now is where it is.
bool PulledOnScreen(HWND window, int dpi, PixelRect* box, PixelRect* now = nullptr) {
    RECT r, area;
    if (!GetWindowRect(window, &r))
        return false;
    *box = ToPixel(r);
    if (now)
        *now = *box;
    // A window of no size could neither be seen nor grabbed, and one larger than the screen
    // would lie over the taskbar wherever it went.
    HoldSize(box, LeastWindowSize(dpi), LargestWindowSize(dpi));
    RECT held = {box->left, box->top, box->right, box->bottom};
    NearestWorkArea(&held, &area);
    PixelRect work = ToPixel(area);
    PullIntoArea(box, &work);
    return true;
}

} // namespace

int BringOnScreen(HWND window, bool topmost, int dpi) {
    PixelRect box;
    if (!PulledOnScreen(window, dpi, &box))
        return 0;
    MoveWindow(window, box.left, box.top, box.right - box.left, box.bottom - box.top, FALSE);
    bool isTopmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (topmost != isTopmost)
        SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE);
    return 1;
}

bool PullOnScreen(HWND window, int dpi) {
    PixelRect box, now;
    if (!PulledOnScreen(window, dpi, &box, &now))
        return false;
    bool moved = box.left != now.left || box.top != now.top;
    bool sized = box.right - box.left != now.right - now.left ||
                 box.bottom - box.top != now.bottom - now.top;
    if (!moved && !sized)
        return false;
    SetWindowPos(window, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (sized ? 0 : SWP_NOSIZE));
    return true;
}

bool KeepOnScreen(HWND window, int dpi) {
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    PixelRect box = ToPixel(r);
    if (ShowsOnSomeMonitor(&r, ScaleToDpi(WndSideMin, dpi)) &&
        SizeWithin(&box, LeastWindowSize(dpi), LargestWindowSize(dpi)))
        return false;
    return PullOnScreen(window, dpi);
}

LRESULT HitTestFrame(HWND window, LPARAM point, int dpi) {
    RECT r;
    if (!GetWindowRect(window, &r))
        return HTNOWHERE;
    PixelRect box = ToPixel(r);
    return HitTestRect(&box, GET_X_LPARAM(point), GET_Y_LPARAM(point), ScaleToDpi(2, dpi),
                       ScaleToDpi(6, dpi));
}

void AdjustWindowPos(int edge, WINDOWPOS* pos, const MainSettings* main, const DrawResources* graph,
                     int dpi) {
    // A change that keeps the place or the size leaves those members unset: the window's
    // own values stand in for them, and they are not written back.
    WindowBox box = {pos->x, pos->y, pos->cx, pos->cy};
    RECT now;
    if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) && GetWindowRect(pos->hwnd, &now)) {
        if (pos->flags & SWP_NOMOVE) {
            box.x = now.left;
            box.y = now.top;
        }
        if (pos->flags & SWP_NOSIZE) {
            box.cx = now.right - now.left;
            box.cy = now.bottom - now.top;
        }
    }
    if ((main->Prop & PropSnapEdges) && edge == EdgeMoving) {
        RECT area, next = {box.x, box.y, Reach(box.x, box.cx), Reach(box.y, box.cy)};
        NearestWorkArea(&next, &area);
        PixelRect work = ToPixel(area);
        SnapToWorkArea(&box, &work, ScaleToDpi(static_cast<int32_t>(main->SnapPixel), dpi));
    }
    if ((main->Prop & PropFitGrid) && edge >= EdgeLeft && edge <= EdgeBottomRight) {
        // A frame width of 0 (the sunken edge) is a thin line, one pixel at 96 DPI.
        int32_t line = graph->LineWidth > 1 ? graph->LineWidth : 1;
        GridFit grid = {(graph->DrawFlag & FrameOn) != 0,
                        graph->FrameWidth ? graph->FrameWidth : line,
                        graph->LastWidth,
                        graph->BackWidth,
                        graph->BackHeight,
                        line};
        FitToGrid(&box, edge, &grid);
    }
    if (!(pos->flags & SWP_NOMOVE)) {
        pos->x = box.x;
        pos->y = box.y;
    }
    if (!(pos->flags & SWP_NOSIZE)) {
        pos->cx = box.cx;
        pos->cy = box.cy;
    }
}
