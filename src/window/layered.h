// Translucency, see-through background and click-through of the graph window.
#pragma once

#include <cstdint>

#include <windows.h>

#include "settings/settings_model.h"

// LayeredCaps bits: the layered-window functions user32.dll has.
enum : uint32_t {
    CapSetLayered = 0x1,
    CapUpdateLayered = 0x2,
    CapAnimate = 0x4,
    CapGetLayered = 0x10,
};

// Looks up the layered-window functions once; returns their mask, 0 when all are missing.
uint32_t ProbeLayeredApi();
// Forgets what the probe found; returns 1.
int ReleaseLayeredApi();
// Sets the layered attributes (flags LWA_COLORKEY, LWA_ALPHA), or with flags 0 removes the
// layered style and repaints. Returns the platform's result, 1 after removing, 0 when the
// layered functions are missing.
BOOL ApplyLayered(HWND window, COLORREF colorKey, BYTE alpha, DWORD flags);
// The alpha of an opacity percentage: its low 7 bits, times 255 / 100, as a byte.
BYTE AlphaOfPercent(uint32_t percent);
// Applies translucency, the see-through colour and click-through as main's Prop asks; returns
// the LayAlpha, LayColorKey and LayClickThrough bits now in force.
uint32_t ApplyWindowEffects(HWND window, const MainSettings* main);
