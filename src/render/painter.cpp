// The graph painter. Nothing is drawn yet: the surface keeps its black background.
#include "render/painter.h"

void PaintGraphs(AppState*) {}
