// The tray icon's picture: the graphs drawn into an icon, on bitmaps kept from one to the next.
#pragma once

#include <windows.h>

#include "counters/counter_run.h"
#include "render/draw_resources.h"
#include "settings/settings_model.h"

// A width x height icon of the graphs drawn with the icon set res: the empty picture
// (background and frame) when runs is null. With IconBackClear in graph 1's DrawFlag, the
// pixels of its background colour are transparent. The caller destroys it. unchanged, when
// given, tells whether the picture is pixel for pixel the one this function made last.
HICON MakeTrayIcon(int width, int height, const DrawResources* res, const CounterSlot* slots,
                   CounterRun* runs, int count, bool* unchanged = nullptr);
// Tells MakeTrayIcon that the tray now shows an image it did not make, so that no picture
// counts as unchanged until it has made one again.
void ForgetTrayPicture();
// Frees the bitmaps and device contexts MakeTrayIcon keeps between icons.
void ReleaseTrayIconCanvas();
