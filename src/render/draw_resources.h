// Drawing values of one graph, for the window or for the tray icon, with its kept GDI objects.
#pragma once

#include <cstdint>

#include <windows.h>

#include "render/draw_flags.h"

// The fixed colours the tray-icon graph picks from by index (ColorFlag nibbles).
extern const COLORREF ColorPalette16[16];

struct DrawResources {
    uint32_t DrawFlag;
    COLORREF ColLastPen;
    COLORREF ColLastBrush;
    COLORREF ColHistPen;
    COLORREF ColHistBrush;
    COLORREF ColBackPen;
    COLORREF ColBackBrush;
    COLORREF ColText;
    COLORREF ColShadow;
    COLORREF ColFrame;
    // Sizes in pixels at Dpi: the settings' 96-DPI sizes scaled, the frame by LineWidth.
    int32_t LastWidth;
    int32_t BackWidth;
    int32_t BackHeight;
    int32_t FrameWidth;
    int32_t Dpi;         // what the sizes are scaled for; 0 counts as 96
    int32_t LineWidth;   // a thin line's width at Dpi; 0 counts as 1
    int32_t GridColumns; // the grid cell's width in samples (96-DPI columns)
    HBRUSH GridBrush;    // owned; none when the background grid is off
    int32_t GridPhase;   // samples the vertical grid lines have moved, 0 .. GridColumns - 1
    HFONT Font;          // owned; none means the stock DEFAULT_GUI_FONT
};
