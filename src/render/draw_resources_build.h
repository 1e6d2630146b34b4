// Building and freeing the drawing resources of the window graphs and the tray-icon graphs.
#pragma once

#include "render/dpi_math.h"
#include "render/draw_resources.h"
#include "settings/settings_model.h"

// Copies the window-graph values of style, its sizes scaled to dpi, and makes the grid brush
// and the caption font for dpi; slot (for the font) may be null. Returns 0.
int BuildGraphResources(DrawResources* res, const DrawStyle* style, const CounterSlot* slot,
                        int32_t dpi = BaseDpi);
// Copies the tray-icon values of style, its colours picked from ColorPalette16 and its sizes
// scaled to dpi, and makes the grid brush. Returns 0.
int BuildIconResources(DrawResources* res, const DrawStyle* style, int32_t dpi = BaseDpi);
// Deletes the grid brush and the font, if present. Returns 0.
int FreeDrawResources(DrawResources* res);

// A pattern brush of one grid cell: with BackLines in drawFlag a line of lineWidth rows along
// the top and one of lineWidth columns down the left (1 bits), else plain (0 bits). A width or
// height of 0 or less gives no lines in that direction. The caller deletes the brush.
HBRUSH CreateGridBrush(int width, int height, uint32_t drawFlag, int lineWidth = 1);
