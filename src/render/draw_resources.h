// Drawing values of one graph, for the window or for the tray icon, with its kept GDI objects.
#pragma once

#include <cstdint>

#include <windows.h>

// DrawFlag bits of a window graph or an icon graph.
enum : uint32_t {
    LastLine = 0x1,        // a line along the top of the latest-value column
    LastFill = 0x2,        // the latest-value column filled down to the baseline
    HistLine = 0x4,        // the history as a polyline; outline of the filled history
    HistFill = 0x8,        // the history as a filled polygon; bars need it too
    BackLines = 0x10,      // grid lines over the background
    BackFill = 0x20,       // the background is painted at all
    CaptionOn = 0x40,      // the caption line is drawn
    CaptionShadow = 0x80,  // a one-pixel shadow, only with CaptionClear
    IconBackClear = 0x100, // icon only: the background colour is transparent in the tray
    HistBars = 0x200,      // the history as one vertical bar per sample
    FrameOn = 0x400,       // a frame around the picture; graph 1 decides
    CaptionClear = 0x800,  // the caption has no box; only its glyphs are painted
    PickFrom16 = 0x10000,  // the colour buttons offer the 16-colour menu
};

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
