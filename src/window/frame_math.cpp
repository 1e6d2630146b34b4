// The arithmetic of moving and sizing the graph window; rectangles in, rectangles or codes out.
#include "window/frame_math.h"

#include "settings/settings_model.h"

namespace {

// The sizing border, or half of a window too small for two borders.
int32_t BorderOf(int32_t size, int32_t border) {
    return ((size + 1) & ~1) <= 2 * border ? (size + 1) / 2 : border;
}

// The start of an edge within snap of target, in [target - snap, target + snap).
bool Near(int64_t value, int64_t target, int64_t snap) {
    return target - snap <= value && value < target + snap;
}

// The part of size beyond a whole number of cells, when there is at least one cell.
int32_t Excess(int32_t size, int32_t cell) {
    if (cell == 0 || size < cell)
        return 0;
    return size % cell;
}

} // namespace

int HitTestRect(const PixelRect* r, int32_t x, int32_t y, int32_t border, int32_t corner) {
    if (x < r->left || x >= r->right || y < r->top || y >= r->bottom)
        return HitNowhere;
    int32_t bx = BorderOf(r->right - r->left, border);
    int32_t by = BorderOf(r->bottom - r->top, border);
    bool left = x < r->left + bx;
    bool right = !left && x >= r->right - bx;
    bool top = y < r->top + by;
    bool bottom = !top && y >= r->bottom - by;
    if (!left && !right && !top && !bottom)
        return HitCaption;
    bool cornerLeft = x < r->left + corner;
    bool cornerRight = !cornerLeft && x >= r->right - corner;
    bool cornerTop = y < r->top + corner;
    bool cornerBottom = !cornerTop && y >= r->bottom - corner;
    if ((cornerLeft || cornerRight) && (cornerTop || cornerBottom)) {
        if (cornerTop)
            return cornerLeft ? HitTopLeft : HitTopRight;
        return cornerLeft ? HitBottomLeft : HitBottomRight;
    }
    if (left)
        return HitLeft;
    if (right)
        return HitRight;
    return top ? HitTop : HitBottom;
}

void SnapToWorkArea(WindowBox* box, const PixelRect* work, int32_t snap) {
    if (snap == 0)
        return;
    if (Near(box->x, work->left, snap))
        box->x = work->left;
    else if (Near(int64_t(box->x) + box->cx, work->right, snap))
        box->x = work->right - box->cx;
    if (Near(box->y, work->top, snap))
        box->y = work->top;
    else if (Near(int64_t(box->y) + box->cy, work->bottom, snap))
        box->y = work->bottom - box->cy;
}

void FitToGrid(WindowBox* box, int edge, const GridFit* grid) {
    int32_t frame = grid->frameOn ? (grid->frameWidth ? 2 * grid->frameWidth : 2) : 0;
    int32_t dx = Excess(box->cx - frame - grid->lastWidth, grid->backWidth);
    int32_t line = grid->lineWidth > 1 ? grid->lineWidth : 1;
    int32_t dy = Excess(box->cy - frame - line, grid->backHeight);
    switch (edge) {
    case EdgeLeft:
    case EdgeTopLeft:
    case EdgeBottomLeft:
        box->x += dx; // the right edge stays where it is
        box->cx -= dx;
        break;
    case EdgeRight:
    case EdgeTopRight:
    case EdgeBottomRight:
        box->cx -= dx;
        break;
    default:
        break;
    }
    switch (edge) {
    case EdgeTop:
    case EdgeTopLeft:
    case EdgeTopRight:
        box->y += dy; // the bottom edge stays where it is
        box->cy -= dy;
        break;
    case EdgeBottom:
    case EdgeBottomLeft:
    case EdgeBottomRight:
        box->cy -= dy;
        break;
    default:
        break;
    }
}

void PullIntoArea(PixelRect* r, const PixelRect* area) {
    // In 64 bits: a saved place may lie anywhere in the 32-bit range.
    int64_t dx = 0, dy = 0;
    if (r->left < area->left)
        dx = int64_t{area->left} - r->left;
    else if (r->right > area->right)
        dx = int64_t{area->right} - r->right;
    if (r->top < area->top)
        dy = int64_t{area->top} - r->top;
    else if (r->bottom > area->bottom)
        dy = int64_t{area->bottom} - r->bottom;
    r->left = static_cast<int32_t>(r->left + dx);
    r->right = static_cast<int32_t>(r->right + dx);
    r->top = static_cast<int32_t>(r->top + dy);
    r->bottom = static_cast<int32_t>(r->bottom + dy);
}

void HoldSize(PixelRect* r, PixelPoint least, PixelPoint most) {
    // In 64 bits: a rectangle of no size, or one turned inside out, may come from anywhere.
    int64_t width = HoldInRange(int64_t{r->right} - r->left, least.x, most.x);
    int64_t height = HoldInRange(int64_t{r->bottom} - r->top, least.y, most.y);
    r->right = static_cast<int32_t>(HoldInRange(r->left + width, INT32_MIN, INT32_MAX));
    r->bottom = static_cast<int32_t>(HoldInRange(r->top + height, INT32_MIN, INT32_MAX));
}

bool SizeWithin(const PixelRect* r, PixelPoint least, PixelPoint most) {
    int64_t width = int64_t{r->right} - r->left;
    int64_t height = int64_t{r->bottom} - r->top;
    return width >= least.x && width <= most.x && height >= least.y && height <= most.y;
}

bool ShowsSquare(const PixelRect* r, const PixelRect* area, int32_t side) {
    int64_t width = int64_t{r->right < area->right ? r->right : area->right} -
                    (r->left > area->left ? r->left : area->left);
    int64_t height = int64_t{r->bottom < area->bottom ? r->bottom : area->bottom} -
                     (r->top > area->top ? r->top : area->top);
    return width >= side && height >= side;
}

namespace {

int64_t HalfDown(int64_t v) {
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

} // namespace

PixelPoint CentreInArea(int32_t width, int32_t height, const PixelRect* area) {
    return {static_cast<int32_t>(area->left + HalfDown(int64_t{area->right} - area->left - width)),
            static_cast<int32_t>(area->top + HalfDown(int64_t{area->bottom} - area->top - height))};
}

PixelPoint TrayCorner(int edge, int32_t width, int32_t height, const PixelRect* work) {
    if (edge == TaskbarLeft)
        return {work->left, work->bottom - height};
    if (edge == TaskbarTop)
        return {work->right - width, work->top};
    return {work->right - width, work->bottom - height};
}
