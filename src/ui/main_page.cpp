// The settings window's first page: interval, translucency, hover, snapping, tray icon, the
// second graph's pages, the show/hide hot key and the start at sign-in. The controls are
// filled from the record at creation and written back, clamped into range, only at OK.
#include "ui/main_page.h"

#include <commctrl.h>

#include "res/resource.h"
#include "settings/settings_model.h"
#include "ui/dialog_helpers.h"
#include "ui/hot_key.h"
#include "ui/version_text.h"
#include "window/layered.h"
#include "window/sign_in.h"

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

MainPageParam* ParamOf(HWND page) {
    return reinterpret_cast<MainPageParam*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}

bool ProgramPath(wchar_t* path) {
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

// The start at sign-in as Windows will do it: checked only when the entry starts this copy of
// the program, and, when the user turned it off in Task Manager or Settings, unchecked and
// left to them, with a note saying where.
void ShowSignIn(HWND page, MainPageParam* param) {
    wchar_t program[MAX_PATH];
    SignInEntry entry = ReadSignInEntry(ProgramPath(program) ? program : nullptr);
    param->ShownSignIn = entry.Ours && !entry.TurnedOff;
    CheckDlgButton(page, IDC_MAIN_SIGN_IN, param->ShownSignIn ? BST_CHECKED : BST_UNCHECKED);
    EnableControl(page, IDC_MAIN_SIGN_IN, !entry.TurnedOff);
    ShowWindow(GetDlgItem(page, IDC_MAIN_SIGN_IN_NOTE), entry.TurnedOff ? SW_SHOWNA : SW_HIDE);
}

void StoreSignIn(HWND page, const MainPageParam* param) {
    if (!IsWindowEnabled(GetDlgItem(page, IDC_MAIN_SIGN_IN)))
        return; // turned off elsewhere: the user's choice there stands
    bool on = IsChecked(page, IDC_MAIN_SIGN_IN);
    if (on == param->ShownSignIn)
        return; // nothing is written unless the user asks
    wchar_t program[MAX_PATH];
    if (!ProgramPath(program))
        return;
    // Cleared: only an entry that starts this copy is removed, never another copy's.
    if (!on && !ReadSignInEntry(program).Ours)
        return;
    LONG result = WriteSignInEntry(on ? program : nullptr, param->SettingsArgument);
    if (result == ERROR_SUCCESS)
        return;
    wchar_t reason[256];
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                        static_cast<DWORD>(result), 0, reason, 256, nullptr))
        wsprintfW(reason, L"%ld", result);
    ShowStringMessage(page, IDS_SIGN_IN_ERROR, reason, MB_OK | MB_ICONWARNING);
}

void OnInit(HWND page, MainPageParam* param) {
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(param));
    for (const SpinnedEdit& e : Edits) {
        SendDlgItemMessageW(page, e.Edit, EM_LIMITTEXT, e.Chars, 0);
        SetupSpinner(GetDlgItem(page, e.Spinner), e.Low, e.High, e.Step, e.Position);
    }
    // A key without a modifier, or with Shift alone, would take that key from every program:
    // the control adds Ctrl+Alt to it.
    SendDlgItemMessageW(page, IDC_MAIN_HOTKEY, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                        MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    MainSettings* main = param ? param->Main : nullptr;
    if (!main)
        return;
    param->ShownHotKey = HotKeyControlValue(main->HkShow);
    SendDlgItemMessageW(page, IDC_MAIN_HOTKEY, HKM_SETHOTKEY, param->ShownHotKey, 0);
    ShowSignIn(page, param);
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

// The hot key the user chose, when it differs from the one shown; else the setting as it is
// (a Windows-key combination the control cannot show stays).
uint32_t ChosenHotKey(HWND page, const MainPageParam* param) {
    WORD value = LOWORD(SendDlgItemMessageW(page, IDC_MAIN_HOTKEY, HKM_GETHOTKEY, 0, 0));
    if (value == param->ShownHotKey)
        return param->Main->HkShow;
    return HotKeySetting(param->Main->HkShow, value);
}

// OK: a new hot key that Windows will not give the program (another program holds it) is
// refused with a message naming it, and nothing of the page is stored; else the page stores.
// True when the page stored.
bool StoreAll(HWND page, MainPageParam* param) {
    MainSettings* main = param->Main;
    uint32_t hotKey = ChosenHotKey(page, param);
    if (hotKey != main->HkShow && (hotKey & HotKeyVkMask) &&
        !HotKeyFree(page, TrialHotKeyId, hotKey)) {
        wchar_t name[96];
        HotKeyName(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE)), hotKey,
                   name, 96);
        ShowStringMessage(page, IDS_HOTKEY_IN_USE, name, MB_OK | MB_ICONWARNING);
        SetFocus(GetDlgItem(page, IDC_MAIN_HOTKEY));
        return false;
    }
    Store(page, main);
    main->HkShow = hotKey;
    StoreSignIn(page, param);
    return true;
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
    case IDC_MAIN_ABOUT: {
        const MainPageParam* param = ParamOf(page);
        ShowAboutBox(page, param ? param->SettingsPath : nullptr);
        break;
    }
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(page, reinterpret_cast<MainPageParam*>(lParam));
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            MainPageParam* param = ParamOf(page);
            bool stored = id != IDOK || !param || !param->Main || StoreAll(page, param);
            // More than 1 keeps the settings window open on this page.
            SetWindowLongPtrW(page, DWLP_MSGRESULT, stored ? 0 : 2);
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
