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
    int32_t LastWidth;
    int32_t BackWidth;
    int32_t BackHeight;
    int32_t FrameWidth;
    HBRUSH GridBrush; // owned; none when the background grid is off
    int32_t GridPhase;
    HFONT Font; // owned; none means the stock DEFAULT_GUI_FONT
};
