// Building and freeing the drawing resources. The values are copied from the settings; the
// grid brush and the caption font are not made yet.
#include "render/draw_resources_build.h"

int BuildGraphResources(DrawResources* res, const DrawStyle* style, const CounterSlot*) {
    FreeDrawResources(res);
    res->DrawFlag = style->DrawFlag;
    res->ColLastPen = style->ColLastPen;
    res->ColLastBrush = style->ColLastBrush;
    res->ColHistPen = style->ColHistPen;
    res->ColHistBrush = style->ColHistBrush;
    res->ColBackPen = style->ColBackPen;
    res->ColBackBrush = style->ColBackBrush;
    res->ColText = style->ColText;
    res->ColShadow = style->ColShadow;
    res->ColFrame = style->ColFrame;
    res->LastWidth = style->LastWidth;
    res->BackWidth = style->BackWidth;
    res->BackHeight = style->BackHeight;
    res->FrameWidth = style->FrameWidth;
    res->GridPhase = 0;
    return 0;
}

int BuildIconResources(DrawResources* res, const DrawStyle* style) {
    FreeDrawResources(res);
    res->DrawFlag = style->IconDrawFlag;
    res->LastWidth = style->IconLastWidth;
    res->BackWidth = style->IconBackWidth;
    res->BackHeight = style->IconBackHeight;
    res->FrameWidth = style->IconFrameWidth;
    res->GridPhase = 0;
    return 0;
}

int FreeDrawResources(DrawResources* res) {
    if (res->GridBrush) {
        DeleteObject(res->GridBrush);
        res->GridBrush = nullptr;
    }
    if (res->Font) {
        DeleteObject(res->Font);
        res->Font = nullptr;
    }
    return 0;
}
