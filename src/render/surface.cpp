// The window's back buffer and blank bitmaps.
#include "render/surface.h"

#include <cstdint>

namespace {

// Enough for a 16 x 16 picture at any depth; larger ones take the pixels from the heap.
constexpr SIZE_T BlankPixelsOnStack = 1024;

struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

void FillHeader(BITMAPINFOHEADER* header, int width, int height, int depth) {
    *header = {};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height; // bottom-up rows
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(depth);
    header->biCompression = BI_RGB;
}

// A table entry holds blue, green, red: the reverse of a COLORREF's bytes.
void FillColorTable(BitmapInfo256* info, const COLORREF* palette, int entries) {
    for (int i = 0; i < entries; i++) {
        COLORREF c = palette[i];
        info->colors[i] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
}

} // namespace

HBITMAP CreateSurface(HDC dc, int width, int height, int depth, void** bits, COLORREF fill) {
    BITMAPINFO info = {};
    FillHeader(&info.bmiHeader, width, height, depth);
    HBITMAP surface = CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (!surface || (fill & 0xFF000000))
        return surface;
    HDC memory = CreateCompatibleDC(dc);
    if (memory) {
        HGDIOBJ old = SelectObject(memory, surface);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all = {0, 0, width, height};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    return surface;
}

HBITMAP CreateIndexedSurface(int width, int height, int depth, const COLORREF* palette,
                             void** bits) {
    if (width <= 0 || height <= 0 || (depth != 1 && depth != 4) || !palette)
        return nullptr;
    BitmapInfo256 info = {};
    FillHeader(&info.header, width, height, depth);
    FillColorTable(&info, palette, 1 << depth);
    // A new DIB section's pixels are zero: index 0 everywhere.
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits,
                            nullptr, 0);
}

HBITMAP CreateBlankBitmap(HDC dc, int width, int height, int depth, const COLORREF* palette) {
    if (width <= 0 || height <= 0)
        return nullptr;
    int entries;
    int64_t rowBytes;
    switch (depth) {
    case 1:
        entries = 2;
        rowBytes = (width + 7) / 8;
        break;
    case 4:
        entries = 16;
        rowBytes = (width + 1) / 2;
        break;
    case 8:
        entries = 256;
        rowBytes = width;
        break;
    case 16:
        entries = 0;
        rowBytes = 2LL * width;
        break;
    case 24:
        entries = 0;
        rowBytes = 3LL * width;
        break;
    case 32:
        entries = 0;
        rowBytes = 4LL * width;
        break;
    default:
        return nullptr;
    }
    int64_t total = ((rowBytes + 3) & ~3LL) * height;
    if (total > 0x7FFFFFFF)
        return nullptr;

    BitmapInfo256 info = {};
    FillHeader(&info.header, width, height, depth);
    if (palette)
        FillColorTable(&info, palette, entries);

    // Index 0 everywhere: the pixels are zero.
    BYTE stackPixels[BlankPixelsOnStack] = {};
    BYTE* pixels = stackPixels;
    if (static_cast<SIZE_T>(total) > sizeof(stackPixels)) {
        pixels = static_cast<BYTE*>(
            HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(total)));
        if (!pixels)
            return nullptr;
    }
    HDC screen = dc ? nullptr : GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(dc ? dc : screen, &info.header, CBM_INIT, pixels,
                                    reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (screen)
        ReleaseDC(nullptr, screen);
    if (pixels != stackPixels)
        HeapFree(GetProcessHeap(), 0, pixels);
    return bitmap;
}
