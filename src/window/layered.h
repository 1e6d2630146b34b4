// Translucency, see-through background and click-through of the graph window.
#pragma once

#include <cstdint>

#include <windows.h>

#include "app/app_state.h"

// Looks up the layered-window functions; returns their capability mask, 0 when missing.
uint32_t ProbeLayeredApi(AppState* app);
void ReleaseLayeredApi(AppState* app);
// Applies Prop's window effects; returns the LayAlpha, LayColorKey, LayClickThrough bits.
uint32_t ApplyWindowEffects(AppState* app, HWND window, const MainSettings* main);
