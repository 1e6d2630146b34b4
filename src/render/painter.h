// The graph painter: both graphs into the window's surface.
#pragma once

#include "app/app_state.h"

void PaintGraphs(AppState* app);
