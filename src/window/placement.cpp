// Placement of the graph window: the work area, the corner by the tray, hit testing and
// snapping.
#include "window/placement.h"

#include <shellapi.h>
#include <windowsx.h>

void GetWorkArea(RECT* area) {
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, area, 0))
        *area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

int PlaceNearTray(HWND window, BOOL repaint) {
    RECT r;
    if (!GetWindowRect(window, &r))
        return 0;
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    RECT work;
    GetWorkArea(&work);
    APPBARDATA bar = {};
    bar.cbSize = sizeof(bar);
    UINT edge = SHAppBarMessage(ABM_GETTASKBARPOS, &bar) ? bar.uEdge : ABE_LEFT;
    int x, y;
    if (edge == ABE_LEFT) {
        x = work.left;
        y = work.bottom - h;
    } else if (edge == ABE_TOP) {
        x = work.right - w;
        y = work.top;
    } else {
        x = work.right - w;
        y = work.bottom - h;
    }
    MoveWindow(window, x, y, w, h, repaint);
    return 1;
}

int BringOnScreen(HWND window, bool) {
    // Not in place yet: the window stays where it is.
    RECT r;
    return GetWindowRect(window, &r) ? 1 : 0;
}

LRESULT HitTestFrame(HWND window, LPARAM point) {
    // Until the sizing border exists, the whole window drags as a caption.
    RECT r;
    GetWindowRect(window, &r);
    POINT p = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    return PtInRect(&r, p) ? HTCAPTION : HTNOWHERE;
}

void AdjustWindowPos(int, WINDOWPOS*, const MainSettings*, const DrawResources*) {}
