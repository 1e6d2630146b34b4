// The DrawFlag bits of a window graph or an icon graph: what is drawn, and how values round.
#pragma once

#include <cstdint>

enum : uint32_t {
    LastLine = 0x1,         // a line along the top of the latest-value column
    LastFill = 0x2,         // the latest-value column filled down to the baseline
    HistLine = 0x4,         // the history as a polyline; outline of the filled history
    HistFill = 0x8,         // the history as a filled polygon; bars need it too
    BackLines = 0x10,       // grid lines over the background
    BackFill = 0x20,        // the background is painted at all
    CaptionOn = 0x40,       // the caption line is drawn
    CaptionShadow = 0x80,   // a one-pixel shadow, only with CaptionClear
    IconBackClear = 0x100,  // icon only: the background colour is transparent in the tray
    HistBars = 0x200,       // the history as one vertical bar per sample
    FrameOn = 0x400,        // a frame around the picture; graph 1 decides
    CaptionClear = 0x800,   // the caption has no box; only its glyphs are painted
    DrawRoundHalf = 0x1000, // values round to the nearest pixel, even with DrawRoundUp
    DrawRoundUp = 0x2000,   // values round up to the next pixel
    PickFrom16 = 0x10000,   // the colour buttons offer the 16-colour menu
};

// The rounding mode as a number 0..3 (down, half, up, half): the two bits from DrawRoundShift.
constexpr uint32_t DrawRoundMask = DrawRoundHalf | DrawRoundUp;
constexpr int DrawRoundShift = 12;
