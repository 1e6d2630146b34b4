// Building and freeing the drawing resources of the window graphs and the tray-icon graphs.
#pragma once

#include "render/draw_resources.h"
#include "settings/settings_model.h"

// Copies the window-graph values of style; slot (for the caption font) may be null.
int BuildGraphResources(DrawResources* res, const DrawStyle* style, const CounterSlot* slot);
// Copies the tray-icon values of style.
int BuildIconResources(DrawResources* res, const DrawStyle* style);
// Deletes the grid brush and the font, if present.
int FreeDrawResources(DrawResources* res);
