// The graph painter: both graphs, their captions and the frame into one bitmap.
#pragma once

#include <windows.h>

#include "counters/counter_run.h"
#include "render/draw_resources.h"
#include "settings/settings_model.h"

// Paints count graphs (the callers pass 2) into bitmap with the drawing resources res, the
// counter records slots and what the counters measured, runs; without runs only the
// background and the frame are painted. Raises the TextWidth of each run to its widest
// caption. Returns 1, or 0 with nothing drawn when bitmap, res or slots is missing.
int PaintGraphs(HBITMAP bitmap, const DrawResources* res, const CounterSlot* slots,
                CounterRun* runs, int count);
// As PaintGraphs, into the width x height bitmap selected into dc, which the caller keeps.
int PaintGraphsInto(HDC dc, int width, int height, const DrawResources* res,
                    const CounterSlot* slots, CounterRun* runs, int count);
