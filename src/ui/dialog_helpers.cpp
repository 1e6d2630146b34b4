// Helpers shared by the settings pages and dialogs.
#include "ui/dialog_helpers.h"

#include "port/system_library.h"
#include "res/version.h"
#include "text/convert.h"
#include "ui/spin_math.h"
#include "window/monitors.h"

namespace {

typedef HRESULT(WINAPI* EnableThemeProc)(HWND, DWORD);

// UxTheme, tried once per run: not tried, unavailable, or loaded.
enum class ThemeState { NotTried, Unavailable, Loaded };
struct ThemeLibrary {
    ThemeState State;
    HMODULE Module;
    EnableThemeProc EnableTheme;
};
ThemeLibrary TheTheme;

constexpr DWORD EnableTabTexture = 6; // ETDT_ENABLETAB

} // namespace

int SpinEdit(HWND dialog, WPARAM request, HWND scrollBar, int edit) {
    if (!IsWindowEnabled(GetDlgItem(dialog, edit)))
        return 0;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (!GetScrollInfo(scrollBar, SB_CTL, &info))
        return 0;
    BOOL read = FALSE;
    UINT value = GetDlgItemInt(dialog, edit, &read, FALSE);
    if (!read)
        value = 0;
    int64_t next = SpinValue(value, static_cast<uint32_t>(request), info.nMin, info.nMax,
                             static_cast<int32_t>(info.nPage));
    SetDlgItemInt(dialog, edit, static_cast<UINT>(next), FALSE);
    return 1;
}

void SetupSpinner(HWND scrollBar, int low, int high, int step, int position) {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = low;
    info.nMax = high;
    info.nPage = static_cast<UINT>(step);
    info.nPos = position;
    SetScrollInfo(scrollBar, SB_CTL, &info, FALSE);
}

HINSTANCE DialogInstance(HWND dialog) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
}

int LoadLines(HINSTANCE instance, UINT id, wchar_t* text, int capacity, wchar_t** items,
              int maxItems) {
    if (LoadStringW(instance, id, text, capacity) <= 0)
        text[0] = L'\0';
    int count = 0;
    wchar_t* p = text;
    while (*p && count < maxItems) {
        items[count++] = p;
        while (*p && *p != L'\n')
            p++;
        if (*p)
            *p++ = L'\0';
    }
    for (int i = count; i < maxItems; i++)
        items[i] = p; // the text's end
    return count;
}

int FillComboFromString(HWND combo, HINSTANCE instance, UINT id) {
    // At most one item per character: line feeds alone make empty items.
    constexpr int Chars = 128;
    wchar_t text[Chars];
    wchar_t* items[Chars];
    int count = LoadLines(instance, id, text, Chars, items, Chars);
    for (int i = 0; i < count; i++)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
    return count;
}

int64_t GetDlgItemInt64(HWND dialog, int edit) {
    wchar_t text[32] = L"";
    GetDlgItemTextW(dialog, edit, text, 32);
    if (!text[0])
        return 0;
    return ParseInt64Wide(text, nullptr);
}

int SetDlgItemInt64(HWND dialog, int edit, int64_t value) {
    wchar_t text[32];
    int n = FormatInt64(value, text, 32);
    SetDlgItemTextW(dialog, edit, text);
    return n;
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) != BST_UNCHECKED;
}

void EnableControl(HWND dialog, int id, bool on) {
    EnableWindow(GetDlgItem(dialog, id), on);
}

SIZE DialogBaseUnitsAt(const wchar_t* face, int points, int dpi) {
    HFONT font = CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    SIZE units = DialogBaseUnitsOf(font);
    if (font)
        DeleteObject(font);
    return units;
}

SIZE DialogBaseUnitsOf(HFONT font) {
    static const wchar_t Letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, Letters, 52, &extent);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SIZE units = {(extent.cx / 26 + 1) / 2, metrics.tmHeight};
    if (units.cx <= 0 || units.cy <= 0) {
        LONG base = GetDialogBaseUnits();
        units = {LOWORD(base), HIWORD(base)};
    }
    return units;
}

void MapDialogUnits(SIZE units, RECT* r) {
    r->left = MulDiv(r->left, units.cx, 4);
    r->right = MulDiv(r->right, units.cx, 4);
    r->top = MulDiv(r->top, units.cy, 8);
    r->bottom = MulDiv(r->bottom, units.cy, 8);
}

bool DialogTemplateSize(HINSTANCE instance, int id, SIZE* size) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!found)
        return false;
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
    DWORD length = SizeofResource(instance, found);
    if (!bytes || length < 18)
        return false;
    // An extended template starts with its version, 1, and 0xFFFF; its x, y, cx and cy stand
    // at byte 18, those of the first form at byte 10.
    WORD version, signature;
    CopyMemory(&version, bytes, sizeof(version));
    CopyMemory(&signature, bytes + 2, sizeof(signature));
    DWORD at = version == 1 && signature == 0xFFFF ? 18 : 10;
    if (length < at + 8)
        return false;
    short cx, cy;
    CopyMemory(&cx, bytes + at + 4, sizeof(cx));
    CopyMemory(&cy, bytes + at + 6, sizeof(cy));
    size->cx = cx;
    size->cy = cy;
    return true;
}

int CenterOnParent(HWND dialog) {
    HWND parent = GetParent(dialog);
    if (!parent)
        return 0;
    RECT p, d;
    GetWindowRect(parent, &p);
    GetWindowRect(dialog, &d);
    int width = d.right - d.left;
    int height = d.bottom - d.top;
    int x = (p.left + p.right) / 2 - width / 2;
    int y = (p.top + p.bottom) / 2 - height / 2;
    RECT place = {x, y, x + width, y + height};
    // On the parent's monitor, even where the parent reaches over onto another.
    KeepOnMonitorOf(&place, &p);
    MoveWindow(dialog, place.left, place.top, width, height, FALSE);
    return 1;
}

int EnableDialogTheme(HWND window) {
    ThemeLibrary* theme = &TheTheme;
    if (theme->State == ThemeState::NotTried) {
        theme->State = ThemeState::Unavailable;
        theme->Module = LoadSystemLibrary(L"uxtheme.dll");
        if (theme->Module) {
            theme->EnableTheme = reinterpret_cast<EnableThemeProc>(
                reinterpret_cast<void*>(GetProcAddress(theme->Module, "EnableThemeDialogTexture")));
            if (theme->EnableTheme) {
                theme->State = ThemeState::Loaded;
            } else {
                FreeLibrary(theme->Module);
                theme->Module = nullptr;
            }
        }
    }
    if (theme->State != ThemeState::Loaded)
        return 0;
    return theme->EnableTheme(window, EnableTabTexture) == S_OK ? 1 : 0;
}

wchar_t* FormatResourceText(HINSTANCE instance, UINT form, const wchar_t* first,
                            const wchar_t* second) {
    wchar_t pattern[1024];
    if (LoadStringW(instance, form, pattern, 1024) <= 0)
        return nullptr;
    const DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(first ? first : L""),
                                 reinterpret_cast<DWORD_PTR>(second ? second : L"")};
    wchar_t* text = nullptr;
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                            FORMAT_MESSAGE_ARGUMENT_ARRAY,
                        pattern, 0, 0, reinterpret_cast<LPWSTR>(&text), 0,
                        reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(inserts))))
        return nullptr;
    return text;
}

int ShowStringMessage(HWND owner, UINT form, const wchar_t* insert, UINT flags) {
    wchar_t* text = FormatResourceText(GetModuleHandleW(nullptr), form, insert);
    if (!text)
        return 0;
    int answer = MessageBoxW(owner, text, ProgramTitle, flags);
    LocalFree(text);
    return answer;
}
