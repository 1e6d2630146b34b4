// The graph painter: background and grid, the history and latest column of each graph, the
// caption lines and the frame, all into one bitmap through a memory device context.
#include "render/painter.h"

#include <cstddef>

#include "render/value_scale.h"
#include "render/value_text.h"

namespace {

// The history never spans more 96-DPI columns (samples) than this, however wide the window.
constexpr int HistoryColumnsMax = 250;

// GDI takes the scaled points as they are.
static_assert(sizeof(PixelPoint) == sizeof(POINT) && offsetof(PixelPoint, y) == offsetof(POINT, y),
              "PixelPoint must have the layout of POINT");

// Fixed storage: the painter runs on the one GUI thread, and a paint allocates nothing. The
// first two points close the filled history along the bottom.
PixelPoint ThePoints[2 + HistorySize];
wchar_t TheLine[ValueLineChars];

struct Geometry {
    int width, height;
    int dpi;      // the scale every graph of the picture is drawn at
    int line;     // the width of a thin line at that scale
    RECT plot;    // inside the frame
    int span;     // rows from the baseline up to the top row
    int last;     // width of the latest-value column, 0 when there is none
    RECT history; // the columns that show the history
};

Geometry MeasurePicture(const DrawResources* first, int width, int height) {
    Geometry g = {};
    g.width = width;
    g.height = height;
    g.dpi = first->Dpi > 0 ? first->Dpi : BaseDpi;
    g.line = first->LineWidth > 1 ? first->LineWidth : 1;
    int f = 0;
    if (first->DrawFlag & FrameOn)
        f = first->FrameWidth > 1 ? first->FrameWidth : g.line;
    g.plot = {f, f, width - f, height - f};
    g.span = g.plot.bottom - g.plot.top - 1;
    int plotWidth = g.plot.right - g.plot.left;
    g.last = first->LastWidth;
    if (g.last > plotWidth)
        g.last = plotWidth;
    if (g.last < 0)
        g.last = 0;
    g.history = g.plot;
    // With a wider latest column the newest history point shares its first column.
    if (g.last > 1)
        g.history.right = g.plot.right - g.last + 1;
    int historyMax = ScaleToDpi(HistoryColumnsMax, g.dpi);
    if (g.history.right - g.history.left > historyMax)
        g.history.left = g.history.right - historyMax;
    return g;
}

PixelRect ToPixelRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// Brush origin arithmetic kept in 0 .. size - 1, where every brush implementation agrees.
int WrapToCell(int offset, int size) {
    if (size <= 0)
        return offset;
    int r = offset % size;
    return r < 0 ? r + size : r;
}

void PaintBackground(HDC dc, const DrawResources* res, const Geometry& g) {
    if (!res->GridBrush)
        return;
    bool lines = (res->DrawFlag & BackLines) != 0;
    // The pattern's 0 bits take the text colour, its 1 bits (the lines) the background colour.
    COLORREF oldText = SetTextColor(dc, res->ColBackBrush);
    COLORREF oldBack = 0;
    POINT oldOrigin = {};
    int originY = 0;
    if (lines) {
        oldBack = SetBkColor(dc, res->ColBackPen);
        // The line row falls on the baseline, the line column just left of the latest column
        // and further left by GridPhase samples, so the vertical lines move with the history.
        int originX = res->BackWidth > 0 ? (g.plot.right - g.last) % res->BackWidth - g.line : 0;
        originX -= ScaleToDpi(res->GridPhase, g.dpi);
        originY = res->BackHeight > 0 ? g.plot.bottom % res->BackHeight - g.line : 0;
        SetBrushOrgEx(dc, WrapToCell(originX, res->BackWidth), WrapToCell(originY, res->BackHeight),
                      &oldOrigin);
    }
    RECT area = {g.plot.left, g.plot.top, g.plot.right - g.last, g.plot.bottom};
    FillRect(dc, &area, res->GridBrush);
    if (g.last > 0) {
        // The latest column's lines stand still at its right edge.
        if (lines)
            SetBrushOrgEx(dc, WrapToCell(g.plot.right - g.line, res->BackWidth),
                          WrapToCell(originY, res->BackHeight), nullptr);
        RECT column = {g.plot.right - g.last, g.plot.top, g.plot.right, g.plot.bottom};
        FillRect(dc, &column, res->GridBrush);
    }
    SetTextColor(dc, oldText);
    if (lines) {
        SetBkColor(dc, oldBack);
        SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    }
}

// One bar per sample, as wide as the columns from the sample before it up to its own, so
// that bars stand side by side at every scale.
void DrawHistoryBars(HDC dc, const DrawResources* res, const PixelPoint* points, int count,
                     int bottom) {
    HPEN pen = CreatePen(PS_SOLID, 1, res->ColHistPen);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (int i = 0; i < count; i++) {
        int from = i > 0 && points[i - 1].x < points[i].x ? points[i - 1].x + 1 : points[i].x;
        for (int x = from; x <= points[i].x; x++) {
            MoveToEx(dc, x, points[i].y, nullptr);
            LineTo(dc, x, bottom);
        }
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// The filled history, outlined with one-pixel lines: a wider pen would centre on the outline
// and paint the baseline row along the bottom edge.
void FillHistory(HDC dc, const DrawResources* res, const PixelPoint* points, int count) {
    HPEN pen =
        CreatePen(PS_SOLID, 1, (res->DrawFlag & HistLine) ? res->ColHistPen : res->ColHistBrush);
    HBRUSH brush = CreateSolidBrush(res->ColHistBrush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Polygon(dc, reinterpret_cast<const POINT*>(points), count);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void DrawHistoryLine(HDC dc, const DrawResources* res, const PixelPoint* points, int count,
                     int line) {
    HPEN pen = CreatePen(PS_SOLID, line, res->ColHistPen);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Polyline(dc, reinterpret_cast<const POINT*>(points), count);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void DrawLatestColumn(HDC dc, const DrawResources* res, const RECT& column, int line) {
    if (res->DrawFlag & LastFill) {
        HBRUSH brush = CreateSolidBrush(res->ColLastBrush);
        FillRect(dc, &column, brush);
        DeleteObject(brush);
    }
    if (res->DrawFlag & LastLine) {
        // Rows of one-pixel lines: a wide pen would centre on the top row and its ends would
        // round.
        HPEN pen = CreatePen(PS_SOLID, 1, res->ColLastPen);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        for (int row = 0; row < line; row++) {
            MoveToEx(dc, column.left, column.top + row, nullptr);
            LineTo(dc, column.right, column.top + row);
        }
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
}

void DrawGraph(HDC dc, const DrawResources* res, const CounterSlot* slot, const CounterRun* run,
               const Geometry& g) {
    int64_t bias = RoundingBias(res->DrawFlag, slot->ValMax, g.span);
    PixelRect history = ToPixelRect(g.history);
    PixelRect plot = ToPixelRect(g.plot);
    ThePoints[0] = {history.right, plot.bottom};
    ThePoints[1] = {history.left, plot.bottom};
    PixelPoint* scaled = ThePoints + 2;
    int n = ScaleHistory(scaled, &history, run->History, HistorySize, run->RingIndex, slot->ValMax,
                         bias, g.dpi);
    if (n >= 2) {
        if (res->DrawFlag & HistBars) {
            // Bars are drawn only for a filled history.
            if (res->DrawFlag & HistFill)
                DrawHistoryBars(dc, res, scaled, n, plot.bottom);
        } else if (res->DrawFlag & HistFill) {
            FillHistory(dc, res, ThePoints, n + 2);
            // From 200 % the history line along the top is as wide as the other thin lines.
            if ((res->DrawFlag & HistLine) && g.line > 1)
                DrawHistoryLine(dc, res, scaled, n, g.line);
        } else if (res->DrawFlag & HistLine) {
            DrawHistoryLine(dc, res, scaled, n, g.line);
        }
    }
    if (g.last > 0) {
        RECT column = {g.plot.right - g.last, ScaleLatest(run->Latest, bias, &plot, slot->ValMax),
                       g.plot.right, g.plot.bottom};
        DrawLatestColumn(dc, res, column, g.line);
    }
}

// Paints the glyph pixels (0 bits) of mask in colour at (x, y) and leaves every other pixel.
void PaintGlyphs(HDC dc, int x, int y, int width, int height, HDC mask, COLORREF colour) {
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, width, height, mask, 0, 0, SRCAND);
    SetTextColor(dc, colour);
    SetBkColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, width, height, mask, 0, 0, SRCPAINT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

// Writes first at the box's top left and second, when given, against the box's right edge;
// a shadow stands shadow pixels right of and below the glyphs.
void DrawCaptionText(HDC dc, const DrawResources* res, const RECT& box, int shadow,
                     const wchar_t* first, int firstLength, const wchar_t* second,
                     int secondLength) {
    SIZE firstSize = {}, secondSize = {};
    GetTextExtentPoint32W(dc, first, firstLength, &firstSize);
    if (second)
        GetTextExtentPoint32W(dc, second, secondLength, &secondSize);

    if (!(res->DrawFlag & CaptionClear)) {
        // Opaque cells: each part's cell takes the shadow colour behind its glyphs.
        COLORREF oldText = SetTextColor(dc, res->ColText);
        COLORREF oldBack = SetBkColor(dc, res->ColShadow);
        TextOutW(dc, box.left, box.top, first, firstLength);
        if (second)
            TextOutW(dc, box.right - secondSize.cx, box.top, second, secondLength);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
        return;
    }

    // Clear captions: the glyphs are written into a monochrome mask first, so that only the
    // glyph pixels (and their shadow) of the picture are touched.
    int width = second ? box.right - box.left : firstSize.cx;
    int height = box.bottom - box.top;
    if (width <= 0 || height <= 0)
        return;
    HDC maskDc = CreateCompatibleDC(dc);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (!maskDc || !mask) {
        if (mask)
            DeleteObject(mask);
        if (maskDc)
            DeleteDC(maskDc);
        return;
    }
    HGDIOBJ oldMask = SelectObject(maskDc, mask);
    HGDIOBJ oldFont = SelectObject(maskDc, GetCurrentObject(dc, OBJ_FONT));
    // A memory DC writes black glyphs (0) in white cells (1); white is the background.
    PatBlt(maskDc, 0, 0, width, height, WHITENESS);
    TextOutW(maskDc, 0, 0, first, firstLength);
    if (second)
        TextOutW(maskDc, width - secondSize.cx, 0, second, secondLength);
    if (res->DrawFlag & CaptionShadow) {
        PaintGlyphs(dc, box.left + shadow, box.top, width, height, maskDc, res->ColShadow);
        PaintGlyphs(dc, box.left, box.top + shadow, width, height, maskDc, res->ColShadow);
    }
    PaintGlyphs(dc, box.left, box.top, width, height, maskDc, res->ColText);
    SelectObject(maskDc, oldFont);
    SelectObject(maskDc, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDc);
}

void DrawCaption(HDC dc, const DrawResources* res, const CounterSlot* slot, CounterRun* run,
                 const Geometry& g, int line) {
    HFONT font = res->Font ? res->Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    // A counter that is not answering shows "---", not its last value as if it were current.
    int length = FormatValueText(slot, CounterAnswers(run), run->Latest, TheLine);

    // The box only grows, so a right-aligned value that gets shorter keeps its right edge.
    SIZE whole = {};
    GetTextExtentPoint32W(dc, TheLine, length, &whole);
    if (whole.cx > run->TextWidth)
        run->TextWidth = whole.cx;

    int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    int inset = ScaleToDpi(2, g.dpi);
    RECT box;
    box.left = g.plot.left + inset;
    box.top = g.plot.top + inset + line * lineHeight;
    box.right = box.left + run->TextWidth;
    box.bottom = box.top + lineHeight;
    if (slot->PdhFlag & PdhAlignRight) {
        int titleLength = lstrlenW(slot->Title);
        if (titleLength > length)
            titleLength = length;
        DrawCaptionText(dc, res, box, g.line, TheLine, titleLength, TheLine + titleLength,
                        length - titleLength);
    } else {
        DrawCaptionText(dc, res, box, g.line, TheLine, length, nullptr, 0);
    }
    SelectObject(dc, oldFont);
}

void DrawFrame(HDC dc, const DrawResources* res, const Geometry& g) {
    if (res->FrameWidth != 0) {
        int f = g.plot.left;
        HPEN pen = CreatePen(PS_INSIDEFRAME, f, res->ColFrame);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, 0, 0, g.width, g.height);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    } else {
        // A sunken edge of thin lines: one ring per line width, from the plot outwards.
        for (int k = 1; k <= g.line; k++) {
            RECT edge = {g.plot.left - k, g.plot.top - k, g.plot.right + k, g.plot.bottom + k};
            DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
        }
    }
}

} // namespace

int PaintGraphs(HBITMAP bitmap, const DrawResources* res, const CounterSlot* slots,
                CounterRun* runs, int count) {
    if (!bitmap || !res || !slots)
        return 0;
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof(info), &info))
        return 0;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return 0;
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    if (!oldBitmap) {
        DeleteDC(dc); // the bitmap is selected elsewhere
        return 0;
    }
    int painted =
        PaintGraphsInto(dc, info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight, res,
                        slots, runs, count);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return painted;
}

int PaintGraphsInto(HDC dc, int width, int height, const DrawResources* res,
                    const CounterSlot* slots, CounterRun* runs, int count) {
    if (!dc || !res || !slots)
        return 0;
    if (count > 2)
        count = 2;

    // One background and one frame for both graphs, both from graph 1.
    Geometry g = MeasurePicture(&res[0], width, height);
    PaintBackground(dc, &res[0], g);
    if (g.span >= 0 && g.plot.right > g.plot.left) {
        for (int k = 0; k < count; k++) {
            const CounterSlot* slot = &slots[k];
            if ((slot->PdhFlag & PdhUse) && runs && runs[k].Counter && slot->ValMax > 0)
                DrawGraph(dc, &res[k], slot, &runs[k], g);
        }
        // Each graph keeps its own text line, whether or not the ones above draw.
        for (int k = 0; runs && k < count; k++) {
            if ((slots[k].PdhFlag & PdhUse) && (res[k].DrawFlag & CaptionOn))
                DrawCaption(dc, &res[k], &slots[k], &runs[k], g, k);
        }
    }
    if (res[0].DrawFlag & FrameOn)
        DrawFrame(dc, &res[0], g);
    return 1;
}
