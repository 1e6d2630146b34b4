// The sampling cycle: the sample tick, the redraw it asks for, and the working-set trim.
#pragma once

#include <windows.h>

#include "app/app_state.h"

// Opens the query, adds the graphs' counters and takes the reference collection. Returns 1
// when sampling can start; on failure everything is closed again and a message is shown.
int OpenCounters(AppState* app, HWND window);
// Builds the drawing resources of graph for the window and for the tray icon, each at its
// DPI.
void BuildGraphDrawing(AppState* app, int graph);
// Makes the window graphs' drawing again for dpi: sizes, grid brushes and caption fonts;
// graph 2's only if it was made before. The captions measure their width afresh.
void RescaleGraphDrawing(AppState* app, int32_t dpi);
// TIMER_SAMPLE: one sample of every graph.
void OnSampleTimer(AppState* app, HWND window);
// TIMER_TRIM: the working set trimmed once, after start-up.
void OnTrimTimer(HWND window);
// Paints both graphs into the surface, shows it, and renews the tray icon.
LRESULT OnRedraw(AppState* app, HWND window);
