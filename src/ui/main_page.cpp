// The settings window's first page: interval, translucency, hover, snapping, tray icon and
// the second graph's pages. The controls are filled from the record at creation and written
// back, clamped into range, only at OK.
#include "ui/main_page.h"

#include "res/resource.h"
#include "settings/settings_model.h"
#include "ui/dialog_helpers.h"
#include "ui/version_text.h"
#include "window/layered.h"

namespace {

struct SpinnedEdit {
    int Edit, Spinner, Chars, Low, High, Step, Position;
};
const SpinnedEdit Edits[] = {
    {IDC_MAIN_INTERVAL, IDC_MAIN_INTERVAL_SPIN, 5, IntervalMinMs, IntervalMaxMs, 100, 200},
    {IDC_MAIN_ALPHA, IDC_MAIN_ALPHA_SPIN, 3, AlphaPercentMin, AlphaPercentMax, 10, 20},
    {IDC_MAIN_HOVER_ALPHA, IDC_MAIN_HOVER_ALPHA_SPIN, 3, AlphaPercentMin, AlphaPercentMax, 10, 20},
    {IDC_MAIN_SNAP_PIXEL, IDC_MAIN_SNAP_PIXEL_SPIN, 2, SnapPixelMin, SnapPixelMax, 1, 2},
};

// The check boxes and the radio button that store one Prop bit each.
struct PropControl {
    int Id;
    uint32_t Bit;
};
const PropControl PropControls[] = {
    {IDC_MAIN_NO_TRAY, PropNoTrayIcon}, {IDC_MAIN_NO_ICON_GRAPH, PropNoIconGraph},
    {IDC_MAIN_HOVER, PropHoverOn},      {IDC_MAIN_HOVER_HIDE, PropHoverHides},
    {IDC_MAIN_SNAP, PropSnapEdges},     {IDC_MAIN_FIT_GRID, PropFitGrid},
};

bool LayeredAvailable() {
    return ProbeLayeredApi() != 0;
}

uint32_t Clamped(HWND page, int id, uint32_t low, uint32_t high) {
    BOOL read = FALSE;
    uint32_t value = GetDlgItemInt(page, id, &read, FALSE);
    if (!read)
        value = 0; // an empty box
    return value < low ? low : value > high ? high : value;
}

void OnInit(HWND page, MainSettings* main) {
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(main));
    for (const SpinnedEdit& e : Edits) {
        SendDlgItemMessageW(page, e.Edit, EM_LIMITTEXT, e.Chars, 0);
        SetupSpinner(GetDlgItem(page, e.Spinner), e.Low, e.High, e.Step, e.Position);
    }
    if (!main)
        return;
    uint32_t prop = main->Prop;
    if (prop & PropNoTrayIcon) {
        CheckDlgButton(page, IDC_MAIN_NO_TRAY, BST_CHECKED);
        EnableControl(page, IDC_MAIN_NO_ICON_GRAPH, false);
    }
    if (prop & PropNoIconGraph)
        CheckDlgButton(page, IDC_MAIN_NO_ICON_GRAPH, BST_CHECKED);
    if (prop & PropHoverOn) {
        CheckDlgButton(page, IDC_MAIN_HOVER, BST_CHECKED);
    } else {
        EnableControl(page, IDC_MAIN_HOVER_HIDE, false);
        EnableControl(page, IDC_MAIN_HOVER_FADE, false);
        EnableControl(page, IDC_MAIN_HOVER_ALPHA, false);
    }
    if (prop & PropHoverHides) {
        CheckDlgButton(page, IDC_MAIN_HOVER_HIDE, BST_CHECKED);
        EnableControl(page, IDC_MAIN_HOVER_ALPHA, false);
    } else {
        CheckDlgButton(page, IDC_MAIN_HOVER_FADE, BST_CHECKED);
    }
    if (prop & PropSnapEdges)
        CheckDlgButton(page, IDC_MAIN_SNAP, BST_CHECKED);
    else
        EnableControl(page, IDC_MAIN_SNAP_PIXEL, false);
    if (prop & PropFitGrid)
        CheckDlgButton(page, IDC_MAIN_FIT_GRID, BST_CHECKED);
    if (!LayeredAvailable()) {
        EnableControl(page, IDC_MAIN_ALPHA, false);
        EnableControl(page, IDC_MAIN_HOVER_ALPHA, false);
        EnableControl(page, IDC_MAIN_HOVER_FADE, false);
    }
    SetDlgItemInt(page, IDC_MAIN_ALPHA, main->WndAlpha & 0xFFFF, FALSE);
    SetDlgItemInt(page, IDC_MAIN_HOVER_ALPHA, main->WndAlpha >> 16, FALSE);
    SetDlgItemInt(page, IDC_MAIN_SNAP_PIXEL, main->SnapPixel, FALSE);
    SetDlgItemInt(page, IDC_MAIN_INTERVAL, main->Interval, FALSE);
    if (main->SecondGraph)
        CheckDlgButton(page, IDC_MAIN_SECOND_GRAPH, BST_CHECKED);
}

void Store(HWND page, MainSettings* main) {
    // Disabled controls store what they show, too.
    for (const PropControl& c : PropControls) {
        main->Prop &= ~c.Bit;
        if (IsChecked(page, c.Id))
            main->Prop |= c.Bit;
    }
    main->Interval = Clamped(page, IDC_MAIN_INTERVAL, IntervalMinMs, IntervalMaxMs);
    main->WndAlpha = Clamped(page, IDC_MAIN_HOVER_ALPHA, AlphaPercentMin, AlphaPercentMax) * 65536 +
                     Clamped(page, IDC_MAIN_ALPHA, AlphaPercentMin, AlphaPercentMax);
    main->SnapPixel = Clamped(page, IDC_MAIN_SNAP_PIXEL, SnapPixelMin, SnapPixelMax);
    main->SecondGraph = IsChecked(page, IDC_MAIN_SECOND_GRAPH) ? 1 : 0;
}

void OnClick(HWND page, int id) {
    bool layered = LayeredAvailable();
    switch (id) {
    case IDC_MAIN_NO_TRAY:
        EnableControl(page, IDC_MAIN_NO_ICON_GRAPH, !IsChecked(page, IDC_MAIN_NO_TRAY));
        break;
    case IDC_MAIN_SNAP:
        EnableControl(page, IDC_MAIN_SNAP_PIXEL, IsChecked(page, IDC_MAIN_SNAP));
        break;
    case IDC_MAIN_HOVER: {
        bool on =
            IsWindowEnabled(GetDlgItem(page, IDC_MAIN_HOVER)) && IsChecked(page, IDC_MAIN_HOVER);
        EnableControl(page, IDC_MAIN_HOVER_HIDE, on);
        if (layered) {
            EnableControl(page, IDC_MAIN_HOVER_FADE, on);
            if (IsChecked(page, IDC_MAIN_HOVER_FADE))
                EnableControl(page, IDC_MAIN_HOVER_ALPHA, on);
        }
        break;
    }
    case IDC_MAIN_HOVER_HIDE:
    case IDC_MAIN_HOVER_FADE:
        if (layered)
            EnableControl(page, IDC_MAIN_HOVER_ALPHA, IsChecked(page, IDC_MAIN_HOVER_FADE));
        break;
    case IDC_MAIN_ABOUT:
        ShowAboutBox(page);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(page, reinterpret_cast<MainSettings*>(lParam));
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            auto* main = reinterpret_cast<MainSettings*>(GetWindowLongPtrW(page, GWLP_USERDATA));
            if (id == IDOK && main)
                Store(page, main);
            SetWindowLongPtrW(page, DWLP_MSGRESULT, 0); // never refuses
            return TRUE;
        }
        OnClick(page, id);
        return TRUE;
    }
    case WM_VSCROLL: {
        HWND bar = reinterpret_cast<HWND>(lParam);
        int barId = GetDlgCtrlID(bar);
        for (const SpinnedEdit& e : Edits) {
            if (e.Spinner == barId) {
                SpinEdit(page, wParam, bar, e.Edit);
                return TRUE;
            }
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}
