// The sampling cycle: the sample tick, the redraw it asks for, and the working-set trim.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// Opens the query, adds the graphs' counters and takes the reference collection. Returns 1
// when sampling can start; on failure everything is closed again and a message is shown.
int OpenCounters(AppState* app, HWND window);
// Adds graph's counter from its path to the open query at a start of sampling or after OK, and
// notes the add; false when it gets none. A graph in use that gets none is tried again at a
// slow pace while sampling runs.
bool StartGraphCounter(AppState* app, int graph);
// After a resume from sleep: every graph's counter added again from its path (the instances
// may have changed while the system slept), a fresh reference collection whose values are not
// stored, the alarms' holds begun afresh, and the sample timer started again.
void ResumeSampling(AppState* app, HWND window);
// Builds the drawing resources of graph for the window and for the tray icon, each at its
// DPI.
void BuildGraphDrawing(AppState* app, int graph);
// Makes the window graphs' drawing again for dpi: sizes, grid brushes and caption fonts;
// graph 2's only if it was made before. The captions measure their width afresh.
void RescaleGraphDrawing(AppState* app, int32_t dpi);
// TIMER_SAMPLE: one sample of every graph. A graph whose counter stops answering shows "---"
// and stores nothing; after a few failed reads its counter is added again from its path.
void OnSampleTimer(AppState* app, HWND window);
// TIMER_TRIM: the working set trimmed once, after start-up.
void OnTrimTimer(HWND window);
// Paints both graphs into the surface, shows it, and renews the tray icon; nothing while
// nobody can see the desktop.
LRESULT OnRedraw(AppState* app, HWND window);
