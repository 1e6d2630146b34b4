// Translucency, see-through background and click-through. The layered-window functions are
// not looked up yet, so the program runs as on a system without them.
#include "window/layered.h"

uint32_t ProbeLayeredApi(AppState*) { return 0; }

void ReleaseLayeredApi(AppState*) {}

uint32_t ApplyWindowEffects(AppState*, HWND, const MainSettings*) { return 0; }
