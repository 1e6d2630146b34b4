// The tray icon's picture, made on bitmaps kept between icons and compared with the last.
#include "render/tray_picture.h"

#include <cstring>

#include "render/painter.h"
#include "render/surface.h"

namespace {

// The largest picture compared with the last one: the small-icon size at 400 %.
constexpr int ComparedSideMax = 64;
// Its bytes: rows of 4-bit colour padded to 4 bytes, rows of 1-bit mask padded to 2.
constexpr int ColorBytesMax = ComparedSideMax * ComparedSideMax / 2;
constexpr int MaskBytesMax = ComparedSideMax * ComparedSideMax / 8;

// The tray icon's two bitmaps and device contexts, made once and used for every icon: the
// icon is made every second all day, and CreateIconIndirect copies the bitmaps anyway. The
// colour image is a 16-colour DIB section, cleared and compared in memory, which GDI draws
// into as fast as into the window's surface. The mask stays a monochrome device bitmap: only
// a copy onto one of those turns exactly the background colour into 1 (transparent).
struct IconCanvas {
    int Width, Height;
    HDC MaskDc, ColorDc;
    HBITMAP Mask, Color;
    BYTE* ColorBits;
    int MaskBytes, ColorBytes;
    HGDIOBJ OldMask, OldColor;
    // The last picture made, colour and mask bytes, to tell an unchanged one.
    BYTE Last[ColorBytesMax + MaskBytesMax];
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
    void* colorBits = nullptr;
    c->Mask = CreateBitmap(width, height, 1, 1, nullptr);
    c->Color = CreateIndexedSurface(width, height, 4, ColorPalette16, &colorBits);
    if (!c->MaskDc || !c->ColorDc || !c->Mask || !c->Color) {
        ReleaseTrayIconCanvas();
        return false;
    }
    c->ColorBits = static_cast<BYTE*>(colorBits);
    c->MaskBytes = ((width + 15) / 16) * 2 * height;
    c->ColorBytes = ((width * 4 + 31) / 32) * 4 * height;
    c->OldMask = SelectObject(c->MaskDc, c->Mask);
    c->OldColor = SelectObject(c->ColorDc, c->Color);
    return true;
}

// Tells whether the picture just made is the one made before, and keeps it.
bool SameAsLast(IconCanvas* c) {
    if (c->ColorBytes > ColorBytesMax || c->MaskBytes > MaskBytesMax)
        return false;
    BYTE mask[MaskBytesMax];
    if (GetBitmapBits(c->Mask, c->MaskBytes, mask) != c->MaskBytes)
        return false;
    BYTE* lastMask = c->Last + c->ColorBytes;
    bool same = c->HasLast && memcmp(c->Last, c->ColorBits, c->ColorBytes) == 0 &&
                memcmp(lastMask, mask, c->MaskBytes) == 0;
    memcpy(c->Last, c->ColorBits, c->ColorBytes);
    memcpy(lastMask, mask, c->MaskBytes);
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
    if (c->ColorDc && c->OldColor)
        SelectObject(c->ColorDc, c->OldColor);
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
    GdiFlush();
    memset(c->ColorBits, 0, c->ColorBytes);
    PatBlt(c->MaskDc, 0, 0, width, height, BLACKNESS);

    PaintGraphsInto(c->ColorDc, width, height, res, slots, runs, count);
    if (res[0].DrawFlag & IconBackClear) {
        // Converting to monochrome makes exactly the background colour 1: transparent.
        COLORREF oldBack = SetBkColor(c->ColorDc, res[0].ColBackBrush);
        BitBlt(c->MaskDc, 0, 0, width, height, c->ColorDc, 0, 0, SRCCOPY);
        SetBkColor(c->ColorDc, oldBack);
    }
    GdiFlush();
    // Every picture is kept, so the comparison is always with the picture made last.
    bool same = SameAsLast(c);
    if (unchanged)
        *unchanged = same;
    // Neither bitmap may stay selected while the icon is made from it.
    SelectObject(c->MaskDc, c->OldMask);
    SelectObject(c->ColorDc, c->OldColor);
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmMask = c->Mask;
    info.hbmColor = c->Color;
    HICON icon = CreateIconIndirect(&info);
    c->OldMask = SelectObject(c->MaskDc, c->Mask);
    c->OldColor = SelectObject(c->ColorDc, c->Color);
    return icon;
}
