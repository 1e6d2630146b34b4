// The settings window: a frame made from an in-memory template, its tab control, lazy page
// creation, Ctrl+Tab, and closing through the pages' OK and Cancel.
#include "ui/settings_window.h"

#include <commctrl.h>

#include "port/system_library.h"
#include "res/resource.h"
#include "text/convert.h"
#include "ui/counter_page.h"
#include "ui/dialog_helpers.h"
#include "ui/main_page.h"
#include "ui/style_pages.h"
#include "ui/version_text.h"
#include "window/frame_math.h"
#include "window/monitors.h"

int LastSettingsPage = -1;

namespace {

constexpr WORD FrameFontPoints = 9;
// Room for each text of the frame's template taken from the string table; with four of them
// and the three items the template stays well inside its block.
constexpr int FrameTextChars = 32;
constexpr SIZE_T FrameTemplateBytes = 1024;

// A string of the language in use, or an empty text when it is missing.
void LoadFrameText(HINSTANCE instance, UINT id, wchar_t* text) {
    if (LoadStringW(instance, id, text, FrameTextChars) <= 0)
        text[0] = L'\0';
}

// Writes a dialog template into a block, WORD by WORD.
struct TemplateWriter {
    WORD* at;
    void Word(WORD w) { *at++ = w; }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const wchar_t* text) {
        do
            Word(static_cast<WORD>(*text));
        while (*text++);
    }
    void AlignDword() {
        if (reinterpret_cast<ULONG_PTR>(at) & 3)
            Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
              const wchar_t* className, const wchar_t* text) {
        AlignDword();
        Dword(style);
        Dword(0); // extended style
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        if (className) {
            Text(className);
        } else {
            Word(0xFFFF);
            Word(atom);
        }
        Text(text);
        Word(0); // no creation data
    }
};

HWND CreateTabHostWindow(TabHostSpec* host, DLGPROC procedure) {
    // The frame's texts and font are those of the pages' language.
    wchar_t title[FrameTextChars], face[FrameTextChars], ok[FrameTextChars], cancel[FrameTextChars];
    LoadFrameText(host->Instance, IDS_FRAME_TITLE, title);
    LoadFrameText(host->Instance, IDS_DIALOG_FONT, face);
    LoadFrameText(host->Instance, IDS_FRAME_OK, ok);
    LoadFrameText(host->Instance, IDS_FRAME_CANCEL, cancel);
    HGLOBAL memory = GlobalAlloc(GMEM_ZEROINIT, FrameTemplateBytes);
    if (!memory)
        return nullptr;
    auto* dialog = static_cast<DLGTEMPLATE*>(GlobalLock(memory));
    dialog->style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU |
                    WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK;
    dialog->cdit = 3;
    dialog->cx = 114;
    dialog->cy = 80;
    TemplateWriter w = {reinterpret_cast<WORD*>(dialog + 1)};
    w.Word(0); // no menu
    w.Word(0); // the dialog class
    w.Text(title);
    w.Word(FrameFontPoints);
    w.Text(face);
    constexpr WORD ButtonAtom = 0x0080;
    w.Item(WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP, 5, 60, 50, 15, IDOK, ButtonAtom, nullptr,
           ok);
    w.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP, 60, 60, 50, 15, IDCANCEL, ButtonAtom, nullptr,
           cancel);
    w.Item(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TCS_HOTTRACK, 5, 5, 105, 50,
           TabControlId, 0, WC_TABCONTROLW, L"");
    GlobalUnlock(memory);
    HWND frame = CreateDialogIndirectParamW(host->Instance, static_cast<DLGTEMPLATE*>(memory),
                                            host->Owner, procedure, reinterpret_cast<LPARAM>(host));
    GlobalFree(memory);
    return frame;
}

TabHostSpec* SpecOf(HWND frame) {
    return reinterpret_cast<TabHostSpec*>(GetWindowLongPtrW(frame, GWLP_USERDATA));
}

// The tab control's display area in the frame's client coordinates.
RECT DisplayArea(HWND frame, HWND tabs) {
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, frame, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

HWND CreatePage(HWND frame, TabPage* page) {
    page->Window = CreateDialogParamW(page->Instance, MAKEINTRESOURCEW(page->TemplateId), frame,
                                      page->Procedure, reinterpret_cast<LPARAM>(page->Parameter));
    return page->Window;
}

// Asks the frame to lay itself out again once the system has finished a scale change.
constexpr UINT THM_LAYOUT = WM_USER + 115;
// Posted at creation: by the time it comes, the frame has its first place.
constexpr UINT THM_PLACED = WM_USER + 116;
// Windows 10 1703 asks a per-monitor-v2 window its size at a new scale before it suggests a
// rectangle; the headers declare it only for that version on.
constexpr UINT GetDpiScaledSizeMsg = 0x02E4;

// The size of page in pixels with units: its template's size, or its window's size when the
// template cannot be read.
SIZE PageSize(const TabPage* page, SIZE units) {
    SIZE size;
    if (DialogTemplateSize(page->Instance, page->TemplateId, &size)) {
        RECT r = {0, 0, size.cx, size.cy};
        MapDialogUnits(units, &r);
        return {r.right, r.bottom};
    }
    RECT r;
    GetWindowRect(page->Window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// Where the frame's parts go, in its client area.
struct FramePlan {
    SIZE Client;
    RECT Tab, Ok, Cancel;
    POINT PageAt;
    SIZE Page;
};

// Plans the frame around the page it was sized for with the dialog base units units: the tab's
// display area just holds the page, OK and Cancel stand below the tab at its right end, and the
// frame fits around them, 5 dialog units from its edges (4 on the right). The tab's border and
// header are those its font gives it now, scaled from the font's units fontUnits to units.
FramePlan PlanFrame(HWND frame, const TabHostSpec* host, SIZE units, SIZE fontUnits) {
    FramePlan plan = {};
    plan.Page = PageSize(&host->Pages[host->SizingPage], units);
    RECT margin = {0, 0, 5, 5};
    MapDialogUnits(units, &margin);
    RECT rightMargin = {0, 0, 4, 0};
    MapDialogUnits(units, &rightMargin);
    RECT button = {0, 0, 50, 15};
    MapDialogUnits(units, &button);
    RECT edges = {0, 0, 0, 0};
    SendDlgItemMessageW(frame, TabControlId, TCM_ADJUSTRECT, TRUE,
                        reinterpret_cast<LPARAM>(&edges));
    edges = {MulDiv(edges.left, units.cx, fontUnits.cx), MulDiv(edges.top, units.cy, fontUnits.cy),
             MulDiv(edges.right, units.cx, fontUnits.cx),
             MulDiv(edges.bottom, units.cy, fontUnits.cy)};
    int x = margin.right, y = margin.bottom;
    plan.Tab = {x, y, x + plan.Page.cx + edges.right - edges.left,
                y + plan.Page.cy + edges.bottom - edges.top};
    plan.PageAt = {x - edges.left, y - edges.top};
    int buttonsTop = plan.Tab.bottom + margin.bottom;
    plan.Cancel = {plan.Tab.right - button.right, buttonsTop, plan.Tab.right,
                   buttonsTop + button.bottom};
    plan.Ok = {plan.Cancel.left - margin.right - button.right, buttonsTop,
               plan.Cancel.left - margin.right, buttonsTop + button.bottom};
    plan.Client = {plan.Tab.right + rightMargin.right, plan.Cancel.bottom + margin.bottom};
    return plan;
}

// The dialog base units of the font the frame's controls have now: the dialog manager gives
// them the font of the scale, where the system scales dialogs.
SIZE FrameFontUnits(HWND frame) {
    return DialogBaseUnitsOf(
        reinterpret_cast<HFONT>(SendDlgItemMessageW(frame, IDOK, WM_GETFONT, 0, 0)));
}

void MoveTo(HWND window, const RECT& r) {
    MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

// Lays the frame out as PlanFrame plans it with the font its controls have now; every page
// made so far fills the display area. corner is the frame's new top-left; null centres it on
// the work area of the monitor the graph window is on.
void LayOutFrame(HWND frame, TabHostSpec* host, const POINT* corner) {
    if (!GetDlgItem(frame, TabControlId) || !host->Pages[host->SizingPage].Window)
        return;
    SIZE units = FrameFontUnits(frame);
    FramePlan plan = PlanFrame(frame, host, units, units);
    MoveTo(GetDlgItem(frame, TabControlId), plan.Tab);
    MoveTo(GetDlgItem(frame, IDOK), plan.Ok);
    MoveTo(GetDlgItem(frame, IDCANCEL), plan.Cancel);
    for (int i = 0; i < host->PageCount; i++) {
        if (host->Pages[i].Window)
            MoveWindow(host->Pages[i].Window, plan.PageAt.x, plan.PageAt.y, plan.Page.cx,
                       plan.Page.cy, FALSE);
    }

    // The frame's border and caption as they are now, at its monitor's scale.
    RECT outer, inner;
    GetWindowRect(frame, &outer);
    GetClientRect(frame, &inner);
    int width = plan.Client.cx + (outer.right - outer.left) - inner.right;
    int height = plan.Client.cy + (outer.bottom - outer.top) - inner.bottom;
    PixelPoint place;
    if (corner) {
        place = {corner->x, corner->y};
    } else {
        RECT work;
        WindowWorkArea(host->Owner, &work);
        PixelRect workArea = ToPixel(work);
        place = CentreInArea(width, height, &workArea);
    }
    SetWindowPos(frame, nullptr, static_cast<int>(place.x), static_cast<int>(place.y), width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(frame, nullptr, TRUE);
}

// The frame's size at dpi, for the system to suggest a rectangle of that size at a scale change
// (WM_GETDPISCALEDSIZE): planned with the font the dialog manager will make at dpi. False where
// the system cannot say how large the border and caption are at dpi (before Windows 10 1607).
bool ScaledFrameSize(HWND frame, const TabHostSpec* host, int dpi, SIZE* size) {
    using AdjustForDpiProc = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    auto adjust =
        SystemEntry<AdjustForDpiProc>(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi");
    if (!adjust || !host->Pages[host->SizingPage].Window)
        return false;
    wchar_t face[FrameTextChars];
    LoadFrameText(host->Instance, IDS_DIALOG_FONT, face);
    FramePlan plan = PlanFrame(frame, host, DialogBaseUnitsAt(face, FrameFontPoints, dpi),
                               FrameFontUnits(frame));
    RECT r = {0, 0, plan.Client.cx, plan.Client.cy};
    if (!adjust(&r, static_cast<DWORD>(GetWindowLongW(frame, GWL_STYLE)), FALSE,
                static_cast<DWORD>(GetWindowLongW(frame, GWL_EXSTYLE)), static_cast<UINT>(dpi)))
        return false;
    *size = {r.right - r.left, r.bottom - r.top};
    return true;
}

// Under per-monitor scaling (Windows 10 version 1703 on) the dialog manager would resize the
// frame and move its children to their template places at a scale change, undoing the layout
// made in code; it is left to update the fonts only, and the frame lays itself out again.
void KeepLayoutAtScaleChanges(HWND frame) {
    using SetBehaviorProc = BOOL(WINAPI*)(HWND, UINT, UINT);
    constexpr UINT DisableResize = 0x2, DisableControlRelayout = 0x4;
    auto set =
        SystemEntry<SetBehaviorProc>(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior");
    if (set)
        set(frame, DisableResize | DisableControlRelayout, DisableResize | DisableControlRelayout);
}

BOOL OnInitFrame(HWND frame, TabHostSpec* host) {
    EnableDialogTheme(frame);
    SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    // Its own taskbar button: the owner is a tool window without one.
    SetWindowLongW(frame, GWL_EXSTYLE, GetWindowLongW(frame, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    HWND tabs = GetDlgItem(frame, TabControlId);
    if (!tabs || host->PageCount < 1)
        return TRUE;
    if (host->CurrentPage < 0)
        host->CurrentPage = 0;
    if (host->CurrentPage >= host->PageCount)
        host->CurrentPage = host->PageCount - 1;
    for (int i = 0; i < host->PageCount; i++) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(host->Pages[i].Label);
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        host->Pages[i].Window = nullptr;
    }
    SendMessageW(tabs, TCM_SETCURSEL, host->CurrentPage, 0);

    KeepLayoutAtScaleChanges(frame);

    // The frame is laid out around the first page, centred on the graph window's work area.
    // Should the centring take it to a monitor of another scale, the layout that follows the
    // scale change centres it again.
    host->SizingPage = host->CurrentPage;
    host->Placed = false;
    PostMessageW(frame, THM_PLACED, 0, 0);
    if (HWND page = CreatePage(frame, &host->Pages[host->CurrentPage])) {
        LayOutFrame(frame, host, nullptr);
        SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowWindow(page, SW_SHOW);
    }
    EnableWindow(host->Owner, FALSE);
    return TRUE;
}

void SelectPage(HWND frame, TabHostSpec* host, int index) {
    if (index < 0 || index >= host->PageCount || index == host->CurrentPage)
        return;
    HWND tabs = GetDlgItem(frame, TabControlId);
    if (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != index)
        SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    TabPage* next = &host->Pages[index];
    if (!next->Window && CreatePage(frame, next)) {
        RECT area = DisplayArea(frame, tabs);
        MoveWindow(next->Window, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, FALSE);
    }
    HWND current = host->Pages[host->CurrentPage].Window;
    if (current)
        ShowWindow(current, SW_HIDE);
    if (next->Window) {
        SetWindowPos(next->Window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowWindow(next->Window, SW_SHOW);
        HWND focus = GetFocus();
        if (!focus || (current && IsChild(current, focus)))
            PostMessageW(next->Window, WM_NEXTDLGCTL,
                         reinterpret_cast<WPARAM>(GetNextDlgTabItem(next->Window, nullptr, FALSE)),
                         TRUE);
    }
    host->CurrentPage = index;
}

void CloseFrame(HWND frame, TabHostSpec* host, WORD id) {
    // Every page that was shown stores (OK) or forgets (Cancel) its edits; one may refuse.
    for (int i = 0; i < host->PageCount; i++) {
        HWND page = host->Pages[i].Window;
        if (page && SendMessageW(page, WM_COMMAND, id, 0) > 1) {
            SendMessageW(frame, THM_SELECTPAGE, 0, i);
            return;
        }
    }
    for (int i = 0; i < host->PageCount; i++) {
        if (host->Pages[i].Window) {
            DestroyWindow(host->Pages[i].Window);
            host->Pages[i].Window = nullptr;
        }
    }
    EnableWindow(host->Owner, TRUE);
    DestroyWindow(frame);
    host->Closed = true;
    PostQuitMessage(id);
}

INT_PTR CALLBACK TabHostProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitFrame(frame, reinterpret_cast<TabHostSpec*>(lParam));
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == TabControlId && header->code == TCN_SELCHANGE)
            SendMessageW(frame, THM_SELECTPAGE, 0,
                         SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        return FALSE;
    }
    case THM_SELECTPAGE:
        if (TabHostSpec* host = SpecOf(frame))
            SelectPage(frame, host, static_cast<int>(lParam));
        return TRUE;
    case WM_DPICHANGED: {
        // The suggested rectangle puts the frame where the system wants it on the new monitor;
        // the layout follows once the system has given every window its font at the new scale
        // (after this message, which the dialog manager goes on to handle).
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(frame, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        PostMessageW(frame, THM_LAYOUT, 0, 0);
        return FALSE;
    }
    case GetDpiScaledSizeMsg: {
        // The size the layout will give the frame at the new scale, so that the system suggests
        // a rectangle on the monitor the frame will really be on.
        TabHostSpec* host = SpecOf(frame);
        SIZE size;
        if (!host || !ScaledFrameSize(frame, host, LOWORD(wParam), &size))
            return FALSE;
        *reinterpret_cast<SIZE*>(lParam) = size;
        SetWindowLongPtrW(frame, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    case THM_LAYOUT:
        if (TabHostSpec* host = SpecOf(frame)) {
            RECT r;
            GetWindowRect(frame, &r);
            POINT corner = {r.left, r.top};
            LayOutFrame(frame, host, host->Placed ? &corner : nullptr);
        }
        return TRUE;
    case THM_PLACED:
        if (TabHostSpec* host = SpecOf(frame))
            host->Placed = true;
        return TRUE;
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        TabHostSpec* host = SpecOf(frame);
        if ((id == IDOK || id == IDCANCEL) && host) {
            CloseFrame(frame, host, id);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

// Ctrl+Tab and Ctrl+Shift+Tab on a tab stop inside the frame switch pages.
bool SwitchPageKey(HWND frame, TabHostSpec* host, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !IsChild(frame, msg.hwnd) ||
        GetKeyState(VK_CONTROL) >= 0 || !(GetWindowLongW(msg.hwnd, GWL_STYLE) & WS_TABSTOP))
        return false;
    int count = host->PageCount;
    if (count < 2)
        return true;
    int current = host->CurrentPage;
    int next;
    if (GetKeyState(VK_SHIFT) < 0)
        next = current >= 1 && current <= count - 1 ? current - 1 : count - 1;
    else
        next = current >= 0 && current <= count - 2 ? current + 1 : 0;
    SendMessageW(GetDlgItem(frame, TabControlId), TCM_SETCURFOCUS, next, 0);
    return true;
}

} // namespace

int RunTabHost(TabHostSpec* host) {
    HWND frame = CreateTabHostWindow(host, TabHostProc);
    if (!frame)
        return -1;
    SetWindowTextW(frame, host->Caption);
    ShowWindow(frame, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(frame) && SwitchPageKey(frame, host, msg))
            continue;
        if (IsWindow(frame) && IsDialogMessageW(frame, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (!host->Closed) {
        // Someone else asked the program to quit: its Exit, or the end of the session, whose
        // handling destroys the graph window and with it this frame that it owns. Close
        // without storing, and pass the quit on to the program's own loop.
        for (int i = 0; i < host->PageCount; i++) {
            if (host->Pages[i].Window && IsWindow(host->Pages[i].Window))
                DestroyWindow(host->Pages[i].Window);
            host->Pages[i].Window = nullptr;
        }
        EnableWindow(host->Owner, TRUE);
        if (IsWindow(frame))
            DestroyWindow(frame);
        PostQuitMessage(static_cast<int>(msg.wParam));
    }
    return static_cast<int>(msg.wParam);
}

int RunSettingsWindow(HINSTANCE instance, HWND owner, MainSettings* main, CounterSlot* slots,
                      DrawStyle* styles, const CounterLibrary* pdh, const wchar_t* settingsPath,
                      const wchar_t* settingsArgument) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    TabHostSpec host = {};
    host.Instance = instance;
    host.Owner = owner;
    // The product name, the version after its prefix (none in Japanese, a blank in English),
    // then the suffix.
    wchar_t prefixes[VersionPrefixChars];
    const wchar_t *captionPrefix, *aboutPrefix;
    VersionPrefixes(instance, prefixes, &captionPrefix, &aboutPrefix);
    int n = GetVersionText(nullptr, host.Caption, 32, captionPrefix, nullptr, nullptr);
    wchar_t suffix[32] = L"";
    LoadStringW(instance, IDS_SETTINGS_SUFFIX, suffix, 32);
    CopyWideText(host.Caption + n, suffix, 32 - n);

    host.PageCount = main->SecondGraph ? 7 : 4;
    if (LastSettingsPage == -1)
        LastSettingsPage = GetKeyState(VK_SHIFT) < 0 ? 1 : GetKeyState(VK_CONTROL) < 0 ? 2 : 0;
    host.CurrentPage = LastSettingsPage;

    wchar_t labels[64];
    wchar_t* label[7];
    LoadLines(instance, IDS_TAB_LABELS, labels, 64, label, 7);
    CounterPageParam counters[2] = {{&slots[0], pdh, settingsPath}, {&slots[1], pdh, settingsPath}};
    MainPageParam general = {main, settingsPath, settingsArgument, 0, false};
    TabPage pages[7] = {
        {nullptr, label[0], instance, IDD_MAIN_PAGE, MainPageProc, &general},
        {nullptr, label[1], instance, IDD_COUNTER_PAGE, CounterPageProc, &counters[0]},
        {nullptr, label[2], instance, IDD_GRAPH_PAGE, GraphPageProc, &styles[0]},
        {nullptr, label[3], instance, IDD_ICON_PAGE, IconPageProc, &styles[0]},
        {nullptr, label[4], instance, IDD_COUNTER_PAGE, CounterPageProc, &counters[1]},
        {nullptr, label[5], instance, IDD_GRAPH_PAGE, GraphPageProc, &styles[1]},
        {nullptr, label[6], instance, IDD_ICON_PAGE, IconPageProc, &styles[1]},
    };
    host.Pages = pages;
    int result = RunTabHost(&host);
    LastSettingsPage = host.CurrentPage;
    return result;
}
