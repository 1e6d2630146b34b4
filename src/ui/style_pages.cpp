// The settings window's graph and icon pages. One implementation serves both: the graph page
// edits the window graph's flags, nine colours and widths; the icon page the icon's flags,
// its palette colours and its widths. Graph 2 shows only what it draws by itself.
#include "ui/style_pages.h"

#include <initializer_list>

#include <commdlg.h>

#include "render/dpi_math.h"
#include "render/draw_resources.h"
#include "res/resource.h"
#include "settings/settings_model.h"
#include "ui/dialog_helpers.h"
#include "window/dpi.h"
#include "window/monitors.h"

namespace {

constexpr int RowCount[2] = {9, 7}; // graph page, icon page
constexpr int BackLinesRow = 5, BackFillRow = 6, FrameRow = 7, CaptionRow = 8, ShadowRow = 9;
constexpr int HistFillRow = 4;

// The drawing bit of each row.
const uint32_t RowBit[9] = {LastLine, LastFill, HistLine,  HistFill,     BackLines,
                            BackFill, FrameOn,  CaptionOn, CaptionShadow};
// The window graph's colour of each row.
uint32_t DrawStyle::*const RowColour[9] = {
    &DrawStyle::ColLastPen,   &DrawStyle::ColLastBrush, &DrawStyle::ColHistPen,
    &DrawStyle::ColHistBrush, &DrawStyle::ColBackPen,   &DrawStyle::ColBackBrush,
    &DrawStyle::ColFrame,     &DrawStyle::ColText,      &DrawStyle::ColShadow};

// Widths: last value, frame, background line width and height.
constexpr int WidthCount = 4;
constexpr int WidthFrame = 1;
constexpr int WidthBackW = 2, WidthBackH = 3;
int32_t DrawStyle::*const WidthField[2][4] = {
    {&DrawStyle::LastWidth, &DrawStyle::FrameWidth, &DrawStyle::BackWidth, &DrawStyle::BackHeight},
    {&DrawStyle::IconLastWidth, &DrawStyle::IconFrameWidth, &DrawStyle::IconBackWidth,
     &DrawStyle::IconBackHeight}};
const int WidthChars[4] = {2, 1, 2, 2};
const int WidthHigh[2][4] = {{GraphWidthMax, GraphFrameMax, GraphWidthMax, GraphWidthMax},
                             {IconWidthMax, IconFrameMax, IconWidthMax, IconWidthMax}};

// Row(), Button(), Width() and the loops over the widths reach a control by adding to the first
// id of its kind.
static_assert(IDC_STYLE_ROW9 - IDC_STYLE_ROW1 == 8 && IDC_STYLE_COLOR9 - IDC_STYLE_COLOR1 == 8,
              "the rows' check boxes and colour buttons have consecutive ids");
static_assert(IDC_STYLE_WIDTH4 - IDC_STYLE_WIDTH1 == 3 && IDC_STYLE_SPIN4 - IDC_STYLE_SPIN1 == 3 &&
                  IDC_STYLE_WIDTH_LABEL4 - IDC_STYLE_WIDTH_LABEL1 == 3 &&
                  IDC_STYLE_WIDTH_UNIT4 - IDC_STYLE_WIDTH_UNIT1 == 3,
              "the widths' controls have consecutive ids");

int Row(int row) {
    return IDC_STYLE_ROW1 + row - 1;
}
int Button(int row) {
    return IDC_STYLE_COLOR1 + row - 1;
}
int Width(int k) {
    return IDC_STYLE_WIDTH1 + k;
}

DrawStyle* StyleOf(HWND page) {
    return reinterpret_cast<DrawStyle*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}

uint32_t& FlagOf(DrawStyle* style, bool icon) {
    return icon ? style->IconDrawFlag : style->DrawFlag;
}

void Hide(HWND page, int id) {
    ShowWindow(GetDlgItem(page, id), SW_HIDE);
}

void EnableBackSize(HWND page) {
    bool on = IsWindowEnabled(GetDlgItem(page, Row(BackLinesRow))) &&
              IsDlgButtonChecked(page, Row(BackLinesRow)) == BST_CHECKED;
    EnableControl(page, Width(WidthBackW), on);
    EnableControl(page, Width(WidthBackH), on);
}

void OnInit(HWND page, DrawStyle* style, bool icon) {
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(style));
    for (int k = 0; k < WidthCount; k++) {
        SendDlgItemMessageW(page, Width(k), EM_LIMITTEXT, WidthChars[k], 0);
        SetupSpinner(GetDlgItem(page, IDC_STYLE_SPIN1 + k), 0, WidthHigh[icon][k], 1, 2);
    }
    FillComboFromString(GetDlgItem(page, IDC_STYLE_ROUND), DialogInstance(page), IDS_ROUND_MODES);
    if (!style)
        return;
    uint32_t& flag = FlagOf(style, icon);
    if (style->Index == 1) {
        // Background, frame and widths belong to the window as a whole, set on graph 1.
        flag &= ~(BackLines | BackFill | FrameOn);
        for (int row : {BackLinesRow, BackFillRow, FrameRow}) {
            Hide(page, Row(row));
            Hide(page, Button(row));
        }
        for (int k = 0; k < WidthCount; k++) {
            Hide(page, Width(k));
            Hide(page, IDC_STYLE_SPIN1 + k);
            Hide(page, IDC_STYLE_WIDTH_LABEL1 + k);
            Hide(page, IDC_STYLE_WIDTH_UNIT1 + k);
        }
        if (icon)
            Hide(page, IDC_STYLE_ICON_CLEAR);
    } else {
        flag |= BackFill;
    }
    for (int row = 1; row <= BackLinesRow; row++) {
        if (flag & RowBit[row - 1])
            CheckDlgButton(page, Row(row), BST_CHECKED);
    }
    if (!(flag & BackLines) || !(flag & BackFill)) {
        EnableControl(page, Width(WidthBackW), false);
        EnableControl(page, Width(WidthBackH), false);
    }
    if (flag & BackFill)
        CheckDlgButton(page, Row(BackFillRow), BST_INDETERMINATE);
    else
        EnableControl(page, Row(BackLinesRow), false);
    if (!icon) {
        if (flag & CaptionOn) {
            CheckDlgButton(page, Row(CaptionRow), BST_CHECKED);
        } else {
            EnableControl(page, Row(ShadowRow), false);
            EnableControl(page, IDC_STYLE_CLEAR_CAPTION, false);
        }
        if (flag & CaptionShadow)
            CheckDlgButton(page, Row(ShadowRow), BST_CHECKED);
    }
    if (flag & HistBars) {
        CheckDlgButton(page, IDC_STYLE_BARS, BST_CHECKED);
        EnableControl(page, Row(HistFillRow), false);
    }
    if (flag & FrameOn)
        CheckDlgButton(page, Row(FrameRow), BST_CHECKED);
    else
        EnableControl(page, Width(WidthFrame), false);
    if (icon) {
        if (flag & IconBackClear)
            CheckDlgButton(page, IDC_STYLE_ICON_CLEAR, BST_CHECKED);
    } else {
        if (flag & CaptionClear)
            CheckDlgButton(page, IDC_STYLE_CLEAR_CAPTION, BST_CHECKED);
        if (flag & PickFrom16)
            CheckDlgButton(page, IDC_STYLE_PICK16, BST_CHECKED);
    }
    for (int row = 1; row <= RowCount[icon]; row++) {
        COLORREF colour = icon ? ColorPalette16[(style->ColorFlag >> (4 * (row - 1))) & 0xF]
                               : style->*RowColour[row - 1];
        SetDlgItemInt(page, Button(row), colour, FALSE);
    }
    for (int k = 0; k < WidthCount; k++)
        SetDlgItemInt(page, Width(k), static_cast<UINT>(style->*WidthField[icon][k]), FALSE);
    SendDlgItemMessageW(page, IDC_STYLE_ROUND, CB_SETCURSEL,
                        (flag & DrawRoundMask) >> DrawRoundShift, 0);
}

void Store(HWND page, DrawStyle* style, bool icon) {
    uint32_t& flag = FlagOf(style, icon);
    for (int row = 1; row <= RowCount[icon]; row++) {
        flag &= ~RowBit[row - 1];
        if (IsChecked(page, Row(row)))
            flag |= RowBit[row - 1];
    }
    struct Option {
        int id;
        uint32_t bit;
    };
    const Option graphOptions[] = {{IDC_STYLE_BARS, HistBars},
                                   {IDC_STYLE_CLEAR_CAPTION, CaptionClear},
                                   {IDC_STYLE_PICK16, PickFrom16}};
    const Option iconOptions[] = {{IDC_STYLE_BARS, HistBars},
                                  {IDC_STYLE_ICON_CLEAR, IconBackClear}};
    const Option* options = icon ? iconOptions : graphOptions;
    int optionCount = icon ? 2 : 3;
    for (int i = 0; i < optionCount; i++) {
        flag &= ~options[i].bit;
        if (IsChecked(page, options[i].id))
            flag |= options[i].bit;
    }
    if (icon) {
        uint32_t colours = 0;
        for (int row = 1; row <= RowCount[1]; row++) {
            int index = PaletteIndex(GetDlgItemInt(page, Button(row), nullptr, FALSE));
            colours |= static_cast<uint32_t>(index & 0xF) << (4 * (row - 1));
        }
        style->ColorFlag = colours;
    } else {
        for (int row = 1; row <= RowCount[0]; row++)
            style->*RowColour[row - 1] = GetDlgItemInt(page, Button(row), nullptr, FALSE);
    }
    for (int k = 0; k < WidthCount; k++) {
        BOOL read = FALSE;
        UINT value = GetDlgItemInt(page, Width(k), &read, FALSE);
        int high = WidthHigh[icon][k];
        style->*WidthField[icon][k] = !read ? 0
                                      : value > static_cast<UINT>(high)
                                          ? high
                                          : static_cast<int32_t>(value);
    }
    LRESULT round = SendDlgItemMessageW(page, IDC_STYLE_ROUND, CB_GETCURSEL, 0, 0);
    flag = (flag & ~DrawRoundMask) |
           (static_cast<uint32_t>(round == CB_ERR ? 2 : round & 3) << DrawRoundShift);
}

void OnClick(HWND page, int id, bool icon) {
    if (id >= Button(1) && id <= Button(RowCount[icon])) {
        if (icon || IsDlgButtonChecked(page, IDC_STYLE_PICK16) == BST_CHECKED)
            ShowColorPopup(page, id);
        else
            PickColor(page, id);
        return;
    }
    if (id == Row(BackLinesRow)) {
        EnableBackSize(page);
    } else if (id == Row(BackFillRow)) {
        bool filled = IsDlgButtonChecked(page, Row(BackFillRow)) != BST_UNCHECKED;
        EnableControl(page, Row(BackLinesRow), filled);
        EnableBackSize(page);
    } else if (id == Row(FrameRow)) {
        EnableControl(page, Width(WidthFrame), IsChecked(page, Row(FrameRow)));
    } else if (id == IDC_STYLE_BARS) {
        EnableControl(page, Row(HistFillRow), !IsChecked(page, IDC_STYLE_BARS));
    } else if (!icon && id == Row(CaptionRow)) {
        bool on = IsChecked(page, Row(CaptionRow));
        EnableControl(page, Row(ShadowRow), on);
        EnableControl(page, IDC_STYLE_CLEAR_CAPTION, on);
    }
}

INT_PTR StylePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam, bool icon) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(page, reinterpret_cast<DrawStyle*>(lParam), icon);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            DrawStyle* style = StyleOf(page);
            if (id == IDOK && style)
                Store(page, style, icon);
            SetWindowLongPtrW(page, DWLP_MSGRESULT, 0); // never refuses
            return TRUE;
        }
        OnClick(page, id, icon);
        return TRUE;
    }
    case WM_VSCROLL: {
        HWND bar = reinterpret_cast<HWND>(lParam);
        int k = GetDlgCtrlID(bar) - IDC_STYLE_SPIN1;
        if (k < 0 || k >= WidthCount)
            return FALSE;
        SpinEdit(page, wParam, bar, Width(k));
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        DrawColorSwatch(page, item->CtlType == ODT_MENU ? 0 : static_cast<int>(item->CtlID), item);
        return TRUE;
    }
    case WM_MEASUREITEM:
        return MeasureColorItem(page, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK GraphPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return StylePageProc(page, message, wParam, lParam, false);
}

INT_PTR CALLBACK IconPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return StylePageProc(page, message, wParam, lParam, true);
}

int PaletteIndex(COLORREF colour) {
    for (int i = 0; i < 16; i++) {
        if (ColorPalette16[i] == colour)
            return i;
    }
    return -1;
}

HMENU BuildColorMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    for (int i = 0; i < 16; i++) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
        // Two columns of eight: the ninth colour starts the second.
        item.fType = MFT_OWNERDRAW | (i == 8 ? MFT_MENUBREAK : 0);
        item.wID = static_cast<UINT>(i + 1);
        item.dwItemData = ColorPalette16[i];
        InsertMenuItemW(menu, static_cast<UINT>(i), TRUE, &item);
    }
    return menu;
}

void ShowColorPopup(HWND page, int button) {
    RECT r;
    GetWindowRect(GetDlgItem(page, button), &r);
    HMENU menu = BuildColorMenu();
    if (!menu)
        return;
    UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, r.right, r.top, 0, page, nullptr));
    if (chosen >= 1 && chosen <= 16) {
        SetDlgItemInt(page, button, ColorPalette16[chosen - 1], FALSE);
        InvalidateRect(GetDlgItem(page, button), nullptr, TRUE);
    }
    DestroyMenu(menu);
}

BOOL MeasureColorItem(HWND page, MEASUREITEMSTRUCT* item) {
    if (item->CtlType != ODT_MENU)
        return FALSE;
    RECT r;
    GetWindowRect(GetDlgItem(page, Button(1)), &r);
    item->itemWidth = static_cast<UINT>(r.right - r.left);
    item->itemHeight = static_cast<UINT>(r.bottom - r.top);
    return TRUE;
}

void DrawColorSwatch(HWND page, int id, const DRAWITEMSTRUCT* item) {
    COLORREF colour = id ? static_cast<COLORREF>(GetDlgItemInt(page, id, nullptr, TRUE))
                         : static_cast<COLORREF>(item->itemData);
    RECT r = item->rcItem;
    HBRUSH brush = (item->itemState & ODS_DISABLED) ? GetSysColorBrush(COLOR_BTNFACE)
                                                    : CreateSolidBrush(colour);
    FillRect(item->hDC, &r, brush);
    if (!(item->itemState & ODS_DISABLED))
        DeleteObject(brush);
    DrawEdge(item->hDC, &r, (item->itemState & ODS_SELECTED) ? BDR_SUNKENOUTER : BDR_RAISEDOUTER,
             BF_RECT);
    if (item->itemState & ODS_FOCUS) {
        // Inside the edge by 2 pixels at 100 %, more on a larger scale.
        int inset = ScaleToDpi(2, WindowDpi(page));
        RECT focus = {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
        DrawFocusRect(item->hDC, &focus);
    }
}

UINT_PTR CALLBACK ColorDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG)
        return FALSE;
    // Beside the settings window, right edges together, centred on it from top to bottom.
    // On the settings window's monitor, even where it reaches over onto another.
    RECT p, d;
    GetWindowRect(GetParent(dialog), &p);
    GetWindowRect(dialog, &d);
    int width = d.right - d.left;
    int height = d.bottom - d.top;
    int x = p.right - width;
    int y = (p.top + p.bottom - height) / 2;
    RECT place = {x, y, x + width, y + height};
    KeepOnMonitorOf(&place, &p);
    SetWindowPos(dialog, nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOREDRAW | SWP_NOSENDCHANGING | SWP_NOZORDER);
    return FALSE;
}

BOOL PickColor(HWND page, int button) {
    COLORREF custom[16];
    const int rows[8] = {1, 2, 3, 4, 8, 9, 5, 6};
    for (int i = 0; i < 8; i++)
        custom[i] = GetDlgItemInt(page, Button(rows[i]), nullptr, FALSE);
    for (int i = 8; i < 16; i++)
        custom[i] = RGB(255, 255, 255);
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = page;
    choose.rgbResult = GetDlgItemInt(page, button, nullptr, FALSE);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_ENABLEHOOK;
    choose.lpfnHook = ColorDialogHook;
    if (!ChooseColorW(&choose))
        return FALSE;
    SetDlgItemInt(page, button, choose.rgbResult, FALSE);
    InvalidateRect(GetDlgItem(page, button), nullptr, TRUE);
    return TRUE;
}
