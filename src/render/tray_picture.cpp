// The tray icon's picture, made on bitmaps kept between icons and compared with the last.
#include "render/tray_picture.h"

#include "render/painter.h"
#include "render/surface.h"

namespace {

// The largest picture compared with the last one: the small-icon size at 400 %.
constexpr int ComparedSideMax = 64;
constexpr int ComparedPixelsMax = ComparedSideMax * ComparedSideMax;

// The tray icon's two bitmaps and device contexts, made once and used for every icon: the
// icon is made every second all day, and CreateIconIndirect copies the bitmaps anyway.
struct IconCanvas {
    int Width, Height;
    HDC MaskDc, ColorDc;
    HBITMAP Mask, Color;
    HGDIOBJ OldMask;
    // The last picture made, colour and mask as 32-bit pixels, to tell an unchanged one.
    uint32_t Last[2 * ComparedPixelsMax];
    uint32_t Now[2 * ComparedPixelsMax];
    bool HasLast;
};
IconCanvas TheIconCanvas;

bool PrepareCanvas(IconCanvas* c, int width, int height) {
    if (c->MaskDc && c->Width == width && c->Height == height)
        return true;
    ReleaseTrayIconCanvas();
    c->Width = width;
    c->Height = height;
    c->MaskDc = CreateCompatibleDC(nullptr);
    c->ColorDc = CreateCompatibleDC(nullptr);
    c->Mask = CreateBitmap(width, height, 1, 1, nullptr);
    c->Color = CreateBlankBitmap(nullptr, width, height, 4, ColorPalette16);
    if (!c->MaskDc || !c->ColorDc || !c->Mask || !c->Color) {
        ReleaseTrayIconCanvas();
        return false;
    }
    c->OldMask = SelectObject(c->MaskDc, c->Mask);
    return true;
}

// Reads the picture just made and tells whether it is the one made before.
bool SameAsLast(IconCanvas* c) {
    if (c->Width > ComparedSideMax || c->Height > ComparedSideMax)
        return false;
    uint32_t* now = c->Now;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = c->Width;
    info.bmiHeader.biHeight = c->Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    int pixels = c->Width * c->Height;
    if (!GetDIBits(c->ColorDc, c->Color, 0, c->Height, now, &info, DIB_RGB_COLORS) ||
        !GetDIBits(c->ColorDc, c->Mask, 0, c->Height, now + pixels, &info, DIB_RGB_COLORS))
        return false;
    bool same = c->HasLast;
    for (int i = 0; same && i < 2 * pixels; i++)
        same = now[i] == c->Last[i];
    for (int i = 0; i < 2 * pixels; i++)
        c->Last[i] = now[i];
    c->HasLast = true;
    return same;
}

} // namespace

void ForgetTrayPicture() {
    TheIconCanvas.HasLast = false;
}

void ReleaseTrayIconCanvas() {
    IconCanvas* c = &TheIconCanvas;
    if (c->MaskDc && c->OldMask)
        SelectObject(c->MaskDc, c->OldMask);
    if (c->Color)
        DeleteObject(c->Color);
    if (c->Mask)
        DeleteObject(c->Mask);
    if (c->ColorDc)
        DeleteDC(c->ColorDc);
    if (c->MaskDc)
        DeleteDC(c->MaskDc);
    *c = {};
}

HICON MakeTrayIcon(int width, int height, const DrawResources* res, const CounterSlot* slots,
                   CounterRun* runs, int count, bool* unchanged) {
    if (unchanged)
        *unchanged = false;
    IconCanvas* c = &TheIconCanvas;
    if (!PrepareCanvas(c, width, height))
        return nullptr;
    // Every pixel starts as palette entry 0 (black), every mask pixel opaque.
    HGDIOBJ oldColor = SelectObject(c->ColorDc, c->Color);
    PatBlt(c->ColorDc, 0, 0, width, height, BLACKNESS);
    SelectObject(c->ColorDc, oldColor);
    PatBlt(c->MaskDc, 0, 0, width, height, BLACKNESS);

    PaintGraphs(c->Color, res, slots, runs, count);
    if (res[0].DrawFlag & IconBackClear) {
        // Converting to monochrome makes exactly the background colour 1: transparent.
        oldColor = SelectObject(c->ColorDc, c->Color);
        COLORREF oldBack = SetBkColor(c->ColorDc, res[0].ColBackBrush);
        BitBlt(c->MaskDc, 0, 0, width, height, c->ColorDc, 0, 0, SRCCOPY);
        SetBkColor(c->ColorDc, oldBack);
        SelectObject(c->ColorDc, oldColor);
    }
    // Neither bitmap may stay selected while its pixels are read or the icon is made.
    SelectObject(c->MaskDc, c->OldMask);
    // Every picture is kept, so the comparison is always with the picture made last.
    bool same = SameAsLast(c);
    if (unchanged)
        *unchanged = same;
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmMask = c->Mask;
    info.hbmColor = c->Color;
    HICON icon = CreateIconIndirect(&info);
    c->OldMask = SelectObject(c->MaskDc, c->Mask);
    return icon;
}
