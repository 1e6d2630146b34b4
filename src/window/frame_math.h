// The arithmetic of moving and sizing the graph window: hit testing its frame, snapping to
// the work area, fitting its size to the grid, pulling it on screen, its corner by the tray.
#pragma once

#include <cstdint>

#include "render/value_scale.h"

// Hit-test answers, as the system numbers them.
enum : int {
    HitNowhere = 0,
    HitCaption = 2,
    HitLeft = 10,
    HitRight = 11,
    HitTop = 12,
    HitTopLeft = 13,
    HitTopRight = 14,
    HitBottom = 15,
    HitBottomLeft = 16,
    HitBottomRight = 17,
};

// The edge being dragged while sizing (1 left ... 8 bottom-right), 9 while moving.
enum : int {
    EdgeLeft = 1,
    EdgeRight = 2,
    EdgeTop = 3,
    EdgeTopLeft = 4,
    EdgeTopRight = 5,
    EdgeBottom = 6,
    EdgeBottomLeft = 7,
    EdgeBottomRight = 8,
    EdgeMoving = 9,
};

// Where the taskbar stands, as the shell numbers it.
enum : int {
    TaskbarLeft = 0,
    TaskbarTop = 1,
    TaskbarRight = 2,
    TaskbarBottom = 3,
};

// A window's place and size, as a window-position change carries them.
struct WindowBox {
    int32_t x, y, cx, cy;
};

// The drawing values of graph 1 that decide the grid the size is fitted to.
struct GridFit {
    bool frameOn;
    int32_t frameWidth;
    int32_t lastWidth;
    int32_t backWidth;
    int32_t backHeight;
    int32_t lineWidth; // of the grid's row lines: the plot is that much more than whole cells
};

// What the point (x, y) hits on a window of rectangle r: its outer border pixels size it (its
// corner-pixel corners both ways), its body moves it; outside it, nothing. At 96 DPI the
// border is 2 pixels and the corners 6.
int HitTestRect(const PixelRect* r, int32_t x, int32_t y, int32_t border = 2, int32_t corner = 6);

// Moves box onto a work-area edge it is within snap pixels of; left and top win.
void SnapToWorkArea(WindowBox* box, const PixelRect* work, int32_t snap);

// Shrinks box, on the dragged edge's side, so that the history is a whole number of grid
// cells wide and the plot a line width (one row at 96 DPI) more than a whole number of cells
// high, so that its top row line shows whole.
void FitToGrid(WindowBox* box, int edge, const GridFit* grid);

// Moves the rectangle, keeping its size, so that it lies inside area where it can (left and
// top win when it is larger).
void PullIntoArea(PixelRect* r, const PixelRect* area);

// Holds the size of r to least ... most, both ways, keeping its left and top.
void HoldSize(PixelRect* r, PixelPoint least, PixelPoint most);
// True when the size of r lies within least ... most, both ways.
bool SizeWithin(const PixelRect* r, PixelPoint least, PixelPoint most);

// True when the part of r inside area holds a side x side square.
bool ShowsSquare(const PixelRect* r, const PixelRect* area, int32_t side);

// The top-left corner of a width x height window centred on area, halves rounded toward minus
// infinity.
PixelPoint CentreInArea(int32_t width, int32_t height, const PixelRect* area);

// The top-left corner of a width x height window in the corner of the work area beside the
// notification area, for the taskbar at edge.
PixelPoint TrayCorner(int edge, int32_t width, int32_t height, const PixelRect* work);
