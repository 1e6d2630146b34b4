// Building and freeing the drawing resources: the settings values copied flat, the grid
// pattern brush and the caption font, which live until the settings change.
#include "render/draw_resources_build.h"

const COLORREF ColorPalette16[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

namespace {

// FontType bits: the flags the font-choice dialog reports.
constexpr uint32_t FontBold = 0x100;
constexpr uint32_t FontItalic = 0x200;
constexpr uint32_t FontRegular = 0x400;

// The largest grid cell the brush is made for; the pages and the file keep far below it.
constexpr int GridCellMax = 4096;

// The stock caption font made again for dpi: the stock font is made for the system's DPI,
// which a window on another monitor does not have. None (the stock font itself) when the two
// agree, as they always do on a system at 96 DPI.
HFONT CreateStockFontFor(int32_t dpi) {
    HDC screen = GetDC(nullptr);
    int systemDpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : BaseDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (dpi <= 0 || dpi == systemDpi || systemDpi <= 0)
        return nullptr;
    LOGFONTW font = {};
    if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font))
        return nullptr;
    font.lfHeight = MulDiv(font.lfHeight, dpi, systemDpi);
    font.lfWidth = MulDiv(font.lfWidth, dpi, systemDpi);
    return CreateFontIndirectW(&font);
}

HFONT CreateCaptionFont(const CounterSlot* slot, int32_t dpi) {
    if (!slot || !slot->Font[0])
        return CreateStockFontFor(dpi);
    LOGFONTW font = {};
    font.lfHeight = ScaleToDpi(slot->FontHigh, dpi);
    if (slot->FontType & FontBold)
        font.lfWeight = FW_BOLD;
    else if (slot->FontType & FontRegular)
        font.lfWeight = FW_NORMAL;
    font.lfItalic = (slot->FontType & FontItalic) ? 1 : 0;
    lstrcpynW(font.lfFaceName, slot->Font, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void MakeGridBrush(DrawResources* res) {
    res->GridBrush = (res->DrawFlag & BackFill) ? CreateGridBrush(res->BackWidth, res->BackHeight,
                                                                  res->DrawFlag, res->LineWidth)
                                                : nullptr;
}

// The sizes of the style, given at 96 DPI, in pixels at dpi: cells, latest column and frame.
void ScaleSizes(DrawResources* res, int32_t lastWidth, int32_t backWidth, int32_t backHeight,
                int32_t frameWidth, int32_t dpi) {
    res->Dpi = dpi > 0 ? dpi : BaseDpi;
    res->LineWidth = LineWidthAt(dpi);
    res->LastWidth = ScaleToDpi(lastWidth, dpi);
    res->BackWidth = ScaleToDpi(backWidth, dpi);
    res->BackHeight = ScaleToDpi(backHeight, dpi);
    // A frame is a line: it widens by the whole factor only, so it stays sharp.
    res->FrameWidth = frameWidth * res->LineWidth;
    res->GridColumns = backWidth;
    res->GridPhase = 0;
}

} // namespace

HBRUSH CreateGridBrush(int width, int height, uint32_t drawFlag, int lineWidth) {
    // A size of 0 or less has no lines in its direction: the cell is one pixel that way, so
    // no empty bitmap is made and the pattern stays plain along it.
    bool rowLine = (drawFlag & BackLines) && height > 0;
    bool columnLine = (drawFlag & BackLines) && width > 0;
    int w = width > 0 ? (width < GridCellMax ? width : GridCellMax) : 1;
    int h = height > 0 ? (height < GridCellMax ? height : GridCellMax) : 1;

    // Monochrome rows, leftmost pixel in the top bit, padded to whole 16-bit words.
    int stride = ((w + 15) / 16) * 2;
    BYTE* bits = static_cast<BYTE*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(stride) * h));
    if (!bits)
        return nullptr;
    int rows = lineWidth > 1 ? (lineWidth < h ? lineWidth : h) : 1;
    int columns = lineWidth > 1 ? (lineWidth < w ? lineWidth : w) : 1;
    for (int y = 0; rowLine && y < rows; y++) {
        for (int x = 0; x < w; x++)
            bits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
    for (int y = 0; columnLine && y < h; y++) {
        for (int x = 0; x < columns; x++)
            bits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
    HBRUSH brush = nullptr;
    HBITMAP pattern = CreateBitmap(w, h, 1, 1, bits);
    if (pattern) {
        // The brush keeps its own copy of the pattern.
        brush = CreatePatternBrush(pattern);
        DeleteObject(pattern);
    }
    HeapFree(GetProcessHeap(), 0, bits);
    return brush;
}

int BuildGraphResources(DrawResources* res, const DrawStyle* style, const CounterSlot* slot,
                        int32_t dpi) {
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
    ScaleSizes(res, style->LastWidth, style->BackWidth, style->BackHeight, style->FrameWidth, dpi);
    MakeGridBrush(res);
    res->Font = CreateCaptionFont(slot, dpi);
    return 0;
}

int BuildIconResources(DrawResources* res, const DrawStyle* style, int32_t dpi) {
    FreeDrawResources(res);
    res->DrawFlag = style->IconDrawFlag;
    uint32_t index = style->ColorFlag;
    COLORREF* colours[] = {&res->ColLastPen,   &res->ColLastBrush, &res->ColHistPen,
                           &res->ColHistBrush, &res->ColBackPen,   &res->ColBackBrush,
                           &res->ColFrame};
    for (COLORREF* colour : colours) {
        *colour = ColorPalette16[index & 0xF];
        index >>= 4;
    }
    res->ColText = 0;
    res->ColShadow = 0;
    ScaleSizes(res, style->IconLastWidth, style->IconBackWidth, style->IconBackHeight,
               style->IconFrameWidth, dpi);
    MakeGridBrush(res);
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
