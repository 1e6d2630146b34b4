// The window's back buffer and the tray icon's picture.
#include "render/surface.h"

#include "res/resource.h"

HBITMAP CreateSurface(int width, int height, int bitsPerPixel) {
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows, as the painter addresses them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // A DIB section's memory starts zeroed: the new surface is black.
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

HICON MakeTrayIcon(AppState* app, int width, int height) {
    // The graphs' picture is not painted yet: the tray shows the program icon.
    return static_cast<HICON>(LoadImageW(app->Instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                         width, height, LR_DEFAULTCOLOR));
}
