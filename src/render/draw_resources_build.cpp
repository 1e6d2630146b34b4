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

HFONT CreateCaptionFont(const CounterSlot* slot) {
    if (!slot || !slot->Font[0])
        return nullptr;
    LOGFONTW font = {};
    font.lfHeight = slot->FontHigh;
    if (slot->FontType & FontBold)
        font.lfWeight = FW_BOLD;
    else if (slot->FontType & FontRegular)
        font.lfWeight = FW_NORMAL;
    font.lfItalic = (slot->FontType & FontItalic) ? 1 : 0;
    lstrcpynW(font.lfFaceName, slot->Font, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void MakeGridBrush(DrawResources* res) {
    res->GridBrush = (res->DrawFlag & BackFill)
                         ? CreateGridBrush(res->BackWidth, res->BackHeight, res->DrawFlag)
                         : nullptr;
}

} // namespace

HBRUSH CreateGridBrush(int width, int height, uint32_t drawFlag) {
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
    if (rowLine) {
        for (int x = 0; x < w; x++)
            bits[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
    if (columnLine) {
        for (int y = 0; y < h; y++)
            bits[y * stride] |= 0x80;
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

int BuildGraphResources(DrawResources* res, const DrawStyle* style, const CounterSlot* slot) {
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
    MakeGridBrush(res);
    res->Font = CreateCaptionFont(slot);
    return 0;
}

int BuildIconResources(DrawResources* res, const DrawStyle* style) {
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
    res->LastWidth = style->IconLastWidth;
    res->BackWidth = style->IconBackWidth;
    res->BackHeight = style->IconBackHeight;
    res->FrameWidth = style->IconFrameWidth;
    res->GridPhase = 0;
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
