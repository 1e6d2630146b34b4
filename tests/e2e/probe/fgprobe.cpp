// fgprobe: queries and drives a running ferrogauge.exe from another process for the e2e tests.
//
// Every subcommand prints one line of space-separated key=value pairs to stdout.
// Exit codes: 0 done, 1 window or process not found (or a wait timed out), 2 usage error.
//
// "hold" keeps the desktop of the prefix alive: Wine closes a desktop (taskbar and all) about a
// second after its last process goes, and the next process to start makes a new one whose
// taskbar may not have claimed its part of the screen yet when that process asks for the work
// area. The harness starts "hold" first, waits for its "ready" line, and only then starts the
// program, so every run sees the same taskbar and work area.
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include <windows.h>
#include <commctrl.h>
#include <winternl.h>
#include <psapi.h>
#include <shellapi.h>
#include <msi.h>

#include "gdi_table.h"

namespace {

const wchar_t GraphClass[] = L" FerroGraphClass ";
const wchar_t GraphTitle[] = L"Ferrogauge";
const wchar_t TaskbarClass[] = L"Shell_TrayWnd";
const DWORD PollIntervalMs = 50;

enum ExitCode { ExitOk = 0, ExitNotFound = 1, ExitUsage = 2 };

int Usage() {
    fwprintf(stderr, L"usage: fgprobe find\n"
                     L"       fgprobe all\n"
                     L"       fgprobe wait-window TIMEOUT_MS\n"
                     L"       fgprobe post MSG WPARAM LPARAM\n"
                     L"       fgprobe post-many MSG WPARAM LPARAM COUNT\n"
                     L"       fgprobe ping\n"
                     L"       fgprobe font FACE\n"
                     L"       fgprobe workarea\n"
                     L"       fgprobe gdi PID\n"
                     L"       fgprobe wait-exit PID TIMEOUT_MS\n"
                     L"       fgprobe hold TIMEOUT_MS\n"
                     L"       fgprobe menu\n"
                     L"       fgprobe tooltip\n"
                     L"       fgprobe balloon\n"
                     L"       fgprobe stats PID\n"
                     L"       fgprobe foreground\n"
                     L"       fgprobe settings [CONTROL_ID]\n"
                     L"       fgprobe controls\n"
                     L"       fgprobe texts FACE POINTS\n"
                     L"       fgprobe tray-restart\n"
                     L"       fgprobe hold-hotkey MODIFIERS KEY\n"
                     L"       fgprobe msi-products PRODUCT_NAME\n"
                     L"numbers are decimal or 0x hex\n");
    return ExitUsage;
}

// Parses a decimal or 0x-prefixed hex number; false unless the whole text is a number.
bool ParseNumber(const wchar_t* text, unsigned long long* value) {
    if (!text || !*text || *text == L'-')
        return false;
    wchar_t* end = nullptr;
    *value = wcstoull(text, &end, 0);
    return end && *end == L'\0';
}

HWND FindGraphWindow() {
    return FindWindowW(GraphClass, GraphTitle);
}

void PrintWindowState(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    DWORD style = (DWORD)GetWindowLongW(hwnd, GWL_STYLE);
    DWORD exStyle = (DWORD)GetWindowLongW(hwnd, GWL_EXSTYLE);

    wprintf(L"hwnd=0x%llx pid=%lu left=%ld top=%ld right=%ld bottom=%ld width=%ld height=%ld "
            L"visible=%d style=0x%08lx exstyle=0x%08lx",
            (unsigned long long)(ULONG_PTR)hwnd, pid, rc.left, rc.top, rc.right, rc.bottom,
            rc.right - rc.left, rc.bottom - rc.top, IsWindowVisible(hwnd) ? 1 : 0, style, exStyle);

    if (exStyle & WS_EX_LAYERED) {
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        if (GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags))
            wprintf(L" layered=1 key=0x%06lx alpha=%u flags=0x%lx", key, alpha, flags);
        else
            wprintf(L" layered=1 key=none");
    } else {
        wprintf(L" layered=0");
    }
    wprintf(L"\n");
}

struct SettingsSearch {
    DWORD pid;
    int count;
    HWND first;
};

BOOL CALLBACK CountSettingsWindow(HWND hwnd, LPARAM param) {
    SettingsSearch* search = (SettingsSearch*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    // The settings window is the program's top-level window holding the tab control.
    if (pid == search->pid && IsWindowVisible(hwnd) && GetDlgItem(hwnd, 12320)) {
        if (!search->count)
            search->first = hwnd;
        search->count++;
    }
    return TRUE;
}

// The program's settings windows: how many are open and the first one.
SettingsSearch FindSettingsWindows(HWND graph) {
    SettingsSearch search = {0, 0, nullptr};
    if (graph) {
        GetWindowThreadProcessId(graph, &search.pid);
        EnumWindows(CountSettingsWindow, (LPARAM)&search);
    }
    return search;
}

// A control's text, asked of the control itself: GetWindowTextW does not ask a control of
// another process.
void ControlText(HWND hwnd, wchar_t* text, int capacity) {
    text[0] = L'\0';
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, capacity, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &got);
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindVisibleControl(HWND hwnd, LPARAM param) {
    ControlSearch* search = (ControlSearch*)param;
    if (GetDlgCtrlID(hwnd) == search->id && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The program's settings windows: how many are open, the first one's caption and place, and
// the screen rectangle of its visible control CONTROL_ID when one is asked for.
int CmdSettings(int controlId) {
    HWND graph = FindGraphWindow();
    if (!graph) {
        wprintf(L"found=0\n");
        return ExitNotFound;
    }
    SettingsSearch search = FindSettingsWindows(graph);
    if (!search.first) {
        wprintf(L"found=0 count=0\n");
        return ExitNotFound;
    }
    RECT rc = {};
    GetWindowRect(search.first, &rc);
    wprintf(L"found=1 count=%d left=%ld top=%ld right=%ld bottom=%ld graph_enabled=%d",
            search.count, rc.left, rc.top, rc.right, rc.bottom, IsWindowEnabled(graph) ? 1 : 0);
    if (controlId) {
        ControlSearch control = {controlId, nullptr};
        EnumChildWindows(search.first, FindVisibleControl, (LPARAM)&control);
        if (control.found) {
            RECT c = {};
            GetWindowRect(control.found, &c);
            wchar_t text[64];
            ControlText(control.found, text, 64);
            // A button's check state (0 for any other control) and whether it takes input.
            LRESULT checked = SendMessageW(control.found, BM_GETCHECK, 0, 0);
            wprintf(L" control=1 cleft=%ld ctop=%ld cright=%ld cbottom=%ld checked=%d enabled=%d"
                    L" ctext=%ls",
                    c.left, c.top, c.right, c.bottom, checked == BST_CHECKED ? 1 : 0,
                    IsWindowEnabled(control.found) ? 1 : 0, text);
            wchar_t className[32] = L"";
            GetClassNameW(control.found, className, 32);
            if (!lstrcmpiW(className, HOTKEY_CLASSW))
                wprintf(L" hotkey=0x%04X",
                        (unsigned)(SendMessageW(control.found, HKM_GETHOTKEY, 0, 0) & 0xFFFF));
        } else {
            wprintf(L" control=0");
        }
    }
    wprintf(L"\n");
    return ExitOk;
}

// True for a control whose text runs up to its right edge when it is too long: a static
// text, a check box or a radio button (a push button's border is drawn there anyway).
bool IsLabel(const wchar_t* className, LONG style) {
    if (!lstrcmpiW(className, L"Static"))
        return (style & SS_TYPEMASK) <= SS_RIGHT || (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP;
    if (lstrcmpiW(className, L"Button"))
        return false;
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

struct ControlList {
    int controls;
    int outside;
};

BOOL CALLBACK ListControl(HWND hwnd, LPARAM param) {
    ControlList* list = (ControlList*)param;
    if (!IsWindowVisible(hwnd))
        return TRUE;
    list->controls++;
    wchar_t className[64] = L"";
    GetClassNameW(hwnd, className, 64);
    RECT r = {}, area = {};
    GetWindowRect(hwnd, &r);
    HWND parent = GetParent(hwnd);
    GetClientRect(parent, &area);
    MapWindowPoints(parent, nullptr, (POINT*)&area, 2);
    bool inside = r.left >= area.left && r.top >= area.top && r.right <= area.right &&
                  r.bottom <= area.bottom;
    list->outside += inside ? 0 : 1;
    wchar_t text[8];
    ControlText(hwnd, text, 8);
    bool label = text[0] && IsLabel(className, GetWindowLongW(hwnd, GWL_STYLE));
    wprintf(L"control id=%d label=%d inside=%d left=%ld top=%ld right=%ld bottom=%ld\n",
            GetDlgCtrlID(hwnd), label ? 1 : 0, inside ? 1 : 0, r.left, r.top, r.right, r.bottom);
    return TRUE;
}

// The visible controls of the program's settings window, one line each with its screen
// rectangle, whether it shows a text label and whether it lies inside its parent's client
// area; then a summary.
int CmdControls() {
    SettingsSearch search = FindSettingsWindows(FindGraphWindow());
    if (!search.first) {
        wprintf(L"found=0\n");
        return ExitNotFound;
    }
    ControlList list = {0, 0};
    EnumChildWindows(search.first, ListControl, (LPARAM)&list);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    wprintf(L"found=1 dpi=%d controls=%d outside=%d\n", dpi, list.controls, list.outside);
    return ExitOk;
}

// Writes a text as one word: printable ASCII stays, except '%'; every other UTF-16 unit
// (a blank too) becomes %uXXXX.
void PrintWord(const wchar_t* text) {
    for (; *text; text++) {
        if (*text > L' ' && *text < 0x7F && *text != L'%')
            wprintf(L"%lc", *text);
        else
            wprintf(L"%%u%04X", (unsigned)*text);
    }
}

struct TextList {
    HFONT font; // the dialogs' font at this desktop's scale
    int dpi;
    int controls;
    int cut; // controls whose text does not fit
};

// The width a control needs for its text in the dialogs' font, and the width it has, or false
// for a control without a text of its own that it draws. A check box or radio button draws its
// box before the text, a push button and a group box leave a margin on both sides.
bool TextRoom(HWND hwnd, const wchar_t* className, const wchar_t* text, const TextList* list,
              int* need, int* room) {
    if (!text[0])
        return false;
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    bool button = !lstrcmpiW(className, L"Button");
    int extra = 0;
    if (IsLabel(className, style))
        extra = button ? 16 : 0;
    else if (button &&
             ((style & BS_TYPEMASK) == BS_PUSHBUTTON || (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON))
        extra = 8;
    else if (button && (style & BS_TYPEMASK) == BS_GROUPBOX)
        extra = 16;
    else
        return false;
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, list->font);
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    RECT client = {};
    GetClientRect(hwnd, &client);
    *need = r.right + MulDiv(extra, list->dpi, 96);
    *room = client.right;
    return true;
}

BOOL CALLBACK ListText(HWND hwnd, LPARAM param) {
    TextList* list = (TextList*)param;
    if (!IsWindowVisible(hwnd))
        return TRUE;
    list->controls++;
    wchar_t className[64] = L"", text[256];
    GetClassNameW(hwnd, className, 64);
    ControlText(hwnd, text, 256);
    wprintf(L"control id=%d class=", GetDlgCtrlID(hwnd));
    PrintWord(className);
    wprintf(L" text=");
    PrintWord(text);
    int need = 0, room = 0;
    if (TextRoom(hwnd, className, text, list, &need, &room)) {
        wprintf(L" need=%d room=%d", need, room);
        list->cut += need > room ? 1 : 0;
    }
    // A drop-down list's items, joined by '|'.
    if (!lstrcmpiW(className, L"ComboBox")) {
        DWORD_PTR count = 0;
        SendMessageTimeoutW(hwnd, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        wprintf(L" items=");
        for (int i = 0; i < (int)count && i < 16; i++) {
            wchar_t item[256] = L"";
            DWORD_PTR length = 0;
            SendMessageTimeoutW(hwnd, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &length);
            if (length < 256)
                SendMessageTimeoutW(hwnd, CB_GETLBTEXT, i, (LPARAM)item, SMTO_ABORTIFHUNG, 2000,
                                    &length);
            if (i)
                wprintf(L"|");
            PrintWord(item);
        }
    }
    wprintf(L"\n");
    return TRUE;
}

struct DialogSearch {
    DWORD pid;
    TextList* list;
    int dialogs;
};

BOOL CALLBACK ListDialog(HWND hwnd, LPARAM param) {
    DialogSearch* search = (DialogSearch*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[64] = L"";
    GetClassNameW(hwnd, className, 64);
    if (pid != search->pid || !IsWindowVisible(hwnd) || wcscmp(className, L"#32770"))
        return TRUE;
    search->dialogs++;
    wchar_t title[256];
    ControlText(hwnd, title, 256);
    RECT r = {};
    GetWindowRect(hwnd, &r);
    wprintf(L"dialog left=%ld top=%ld right=%ld bottom=%ld title=", r.left, r.top, r.right,
            r.bottom);
    PrintWord(title);
    wprintf(L"\n");
    EnumChildWindows(hwnd, ListText, (LPARAM)search->list);
    return TRUE;
}

// The texts of the program's shown dialogs (the settings window with its page, the alarm
// dialog, a message box), one line per dialog and per visible control, and for each control
// that draws its own text the width that text needs in the dialogs' font FACE at POINTS and
// the width the control gives it; then a summary with the number of texts that do not fit.
int CmdTexts(const wchar_t* face, int points) {
    HWND graph = FindGraphWindow();
    if (!graph) {
        wprintf(L"found=0\n");
        return ExitNotFound;
    }
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // The font the dialog manager makes for a template's FONT statement.
    HFONT font = CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, FF_DONTCARE, face);
    TextList list = {font, dpi, 0, 0};
    DialogSearch search = {0, &list, 0};
    GetWindowThreadProcessId(graph, &search.pid);
    EnumWindows(ListDialog, (LPARAM)&search);
    DeleteObject(font);
    wprintf(L"found=%d dpi=%d dialogs=%d controls=%d cut=%d\n", search.dialogs ? 1 : 0, dpi,
            search.dialogs, list.controls, list.cut);
    return search.dialogs ? ExitOk : ExitNotFound;
}

// The foreground window's class, for tests that need to know who is active.
int CmdForeground() {
    HWND hwnd = GetForegroundWindow();
    wchar_t name[64] = L"";
    if (hwnd)
        GetClassNameW(hwnd, name, 64);
    wprintf(L"hwnd=0x%llx class=%ls graph=%d\n", (unsigned long long)(ULONG_PTR)hwnd, name,
            hwnd && hwnd == FindGraphWindow() ? 1 : 0);
    return ExitOk;
}

int CmdFind() {
    HWND hwnd = FindGraphWindow();
    if (!hwnd) {
        wprintf(L"found=0\n");
        return ExitNotFound;
    }
    PrintWindowState(hwnd);
    return ExitOk;
}

BOOL CALLBACK PrintGraphWindow(HWND hwnd, LPARAM count) {
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    if (!wcscmp(name, GraphClass)) {
        PrintWindowState(hwnd);
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

// Every graph window, of every running copy, one line each, then count=N.
int CmdAll() {
    int count = 0;
    EnumWindows(PrintGraphWindow, reinterpret_cast<LPARAM>(&count));
    wprintf(L"count=%d\n", count);
    return ExitOk;
}

struct ClassSearch {
    const wchar_t* name;
    LONG style; // style bits the window must have
    HWND found;
};

BOOL CALLBACK FindVisibleOfClass(HWND hwnd, LPARAM param) {
    ClassSearch* search = reinterpret_cast<ClassSearch*>(param);
    wchar_t name[64] = L"";
    GetClassNameW(hwnd, name, 64);
    if (!wcscmp(name, search->name) && IsWindowVisible(hwnd) &&
        (GetWindowLongW(hwnd, GWL_STYLE) & search->style) == search->style) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A shown top-level window of the class (a popup menu, a tooltip) with the style bits, its
// rectangle and, when asked for, its text (a tooltip answers with the tip it shows).
int CmdVisibleOfClass(const wchar_t* className, LONG style = 0, bool withText = false) {
    ClassSearch search = {className, style, nullptr};
    EnumWindows(FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        wprintf(L"found=0\n");
        return ExitNotFound;
    }
    RECT rc = {};
    GetWindowRect(search.found, &rc);
    wprintf(L"found=1 left=%ld top=%ld right=%ld bottom=%ld", rc.left, rc.top, rc.right, rc.bottom);
    if (withText) {
        wchar_t text[512];
        ControlText(search.found, text, 512);
        wprintf(L" text=");
        PrintWord(text);
    }
    wprintf(L"\n");
    return ExitOk;
}

// What a restarted taskbar does to the program: its icon is gone, and the shell tells every
// top-level window that the taskbar was created.
int CmdTrayRestart() {
    HWND hwnd = FindGraphWindow();
    if (!hwnd) {
        wprintf(L"found=0\n");
        return ExitNotFound;
    }
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = hwnd;
    data.uID = 1;
    BOOL deleted = Shell_NotifyIconW(NIM_DELETE, &data);
    BOOL posted = PostMessageW(hwnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    wprintf(L"deleted=%d posted=%d\n", deleted ? 1 : 0, posted ? 1 : 0);
    return ExitOk;
}

int CmdWaitWindow(DWORD timeoutMs) {
    // The window exists before its creation handler has placed it; it is shown last, so a
    // visible window has its final place. One still hidden at the timeout is reported as is.
    DWORD start = GetTickCount();
    HWND hwnd = nullptr;
    for (;;) {
        hwnd = FindGraphWindow();
        if (hwnd && IsWindowVisible(hwnd)) {
            PrintWindowState(hwnd);
            return ExitOk;
        }
        if (GetTickCount() - start >= timeoutMs)
            break;
        Sleep(PollIntervalMs);
    }
    if (hwnd) {
        PrintWindowState(hwnd);
        return ExitOk;
    }
    wprintf(L"found=0 timeout=1\n");
    return ExitNotFound;
}

// Posts the message count times (the soak posts timer ticks in batches).
int CmdPost(UINT msg, WPARAM wParam, LPARAM lParam, unsigned long long count = 1) {
    HWND hwnd = FindGraphWindow();
    if (!hwnd) {
        wprintf(L"found=0\n");
        return ExitNotFound;
    }
    BOOL ok = TRUE;
    for (unsigned long long i = 0; i < count && ok; i++)
        ok = PostMessageW(hwnd, msg, wParam, lParam);
    wprintf(L"hwnd=0x%llx posted=%d\n", (unsigned long long)(ULONG_PTR)hwnd, ok ? 1 : 0);
    return ok ? ExitOk : ExitNotFound;
}

BOOL CALLBACK CollectBoxText(HWND child, LPARAM context) {
    wchar_t className[16], text[1024];
    if (GetClassNameW(child, className, 16) && lstrcmpiW(className, L"Static") == 0 &&
        GetWindowTextW(child, text, 1024) > 0)
        lstrcpynW(reinterpret_cast<wchar_t*>(context), text, 1024);
    return TRUE;
}

// Whether the graph window answers a message within a second, and whether a message box
// captioned like the program is open (the counter and file errors are shown in one), with its
// text as one word and the middle of its OK button.
int CmdPing() {
    HWND window = FindGraphWindow();
    DWORD_PTR answer = 0;
    bool responds =
        window && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0;
    HWND box = FindWindowW(L"#32770", GraphTitle);
    wprintf(L"responds=%d message_box=%d", responds ? 1 : 0, box ? 1 : 0);
    if (box) {
        wchar_t text[1024] = L"";
        EnumChildWindows(box, CollectBoxText, reinterpret_cast<LPARAM>(text));
        wprintf(L" message=");
        PrintWord(text);
        // Where a person clicks to answer it.
        RECT ok = {};
        if (GetWindowRect(GetDlgItem(box, IDOK), &ok))
            wprintf(L" ok_x=%ld ok_y=%ld", (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    }
    wprintf(L"\n");
    return window ? ExitOk : ExitNotFound;
}

int CmdWorkArea() {
    RECT rc = {};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0))
        return ExitNotFound;
    wprintf(L"left=%ld top=%ld right=%ld bottom=%ld screen_width=%d screen_height=%d\n", rc.left,
            rc.top, rc.right, rc.bottom, GetSystemMetrics(SM_CXSCREEN),
            GetSystemMetrics(SM_CYSCREEN));
    return ExitOk;
}

// GetGuiResources answers 0 under Wine, so the live GDI objects of the other process are
// counted straight from its handle table, which sits in its own address space.
// The live GDI objects of another process, read from its handle table; false when they
// cannot be read.
bool CountGdiObjects(HANDLE process, unsigned long* live) {
    typedef NTSTATUS(NTAPI * QueryProc)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProc query = (QueryProc)(void*)GetProcAddress(GetModuleHandleW(L"ntdll.dll"),
                                                       "NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION info = {};
    ULONG_PTR table = 0;
    SIZE_T got = 0;
    if (!query || query(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return false;
    if (!ReadProcessMemory(process, (BYTE*)info.PebBaseAddress + PebGdiTableOffset, &table,
                           sizeof table, &got) ||
        got != sizeof table || !table)
        return false;
    // Owned here, freed below.
    BYTE* entries = (BYTE*)malloc(GdiTableBytes);
    if (!entries)
        return false;
    bool read = ReadProcessMemory(process, (const void*)table, entries, GdiTableBytes, &got) &&
                got == GdiTableBytes;
    if (read)
        *live = CountLiveGdiEntries(entries);
    free(entries);
    return read;
}

// Opens pid for reading its figures; says found=0 and returns null when it cannot.
HANDLE OpenToRead(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        wprintf(L"found=0\n");
    return process;
}

int CmdGdi(DWORD pid) {
    HANDLE process = OpenToRead(pid);
    if (!process)
        return ExitNotFound;
    unsigned long live = 0;
    bool read = CountGdiObjects(process, &live);
    if (read)
        wprintf(L"pid=%lu gdi=%lu\n", pid, live);
    CloseHandle(process);
    return read ? ExitOk : ExitNotFound;
}

// What a long run costs another process: GDI objects, handles, private bytes, CPU time (ms).
int CmdStats(DWORD pid) {
    HANDLE process = OpenToRead(pid);
    if (!process)
        return ExitNotFound;
    unsigned long gdi = 0;
    bool gdiRead = CountGdiObjects(process, &gdi);
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(process, (PROCESS_MEMORY_COUNTERS*)&memory, sizeof(memory));
    FILETIME created, ended, kernel, user;
    unsigned long long cpu100ns = 0;
    if (GetProcessTimes(process, &created, &ended, &kernel, &user)) {
        cpu100ns = ((unsigned long long)kernel.dwHighDateTime << 32 | kernel.dwLowDateTime) +
                   ((unsigned long long)user.dwHighDateTime << 32 | user.dwLowDateTime);
    }
    wprintf(L"found=1 gdi=%ld handles=%lu private=%llu cpu_ms=%llu\n", gdiRead ? (long)gdi : -1L,
            handles, (unsigned long long)memory.PrivateUsage, cpu100ns / 10000);
    CloseHandle(process);
    return ExitOk;
}

int CmdWaitExit(DWORD pid, DWORD timeoutMs) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) {
        wprintf(L"found=0\n");
        return ExitNotFound;
    }
    int result = ExitNotFound;
    DWORD wait = WaitForSingleObject(process, timeoutMs);
    DWORD code = 0;
    if (wait == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code)) {
        wprintf(L"pid=%lu exited=1 exit_code=%lu\n", pid, code);
        result = ExitOk;
    } else {
        wprintf(L"pid=%lu exited=0 timeout=1\n", pid);
    }
    CloseHandle(process);
    return result;
}

// The shell is ready once its taskbar exists and has taken its strip off the work area.
bool ShellReady(RECT* workArea) {
    if (!FindWindowW(TaskbarClass, nullptr))
        return false;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, workArea, 0))
        return false;
    return workArea->bottom - workArea->top < GetSystemMetrics(SM_CYSCREEN) ||
           workArea->right - workArea->left < GetSystemMetrics(SM_CXSCREEN);
}

int CmdHold(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    RECT rc = {};
    while (!ShellReady(&rc)) {
        if (GetTickCount() - start >= timeoutMs) {
            // Say what was missing, for the harness's error message.
            HWND taskbar = FindWindowW(TaskbarClass, nullptr);
            wprintf(L"ready=0 timeout=1 taskbar=%d left=%ld top=%ld right=%ld bottom=%ld\n",
                    taskbar ? 1 : 0, rc.left, rc.top, rc.right, rc.bottom);
            return ExitNotFound;
        }
        Sleep(PollIntervalMs);
    }
    // The notification area shows each icon in a small-icon square, which grows with the DPI.
    wprintf(L"ready=1 left=%ld top=%ld right=%ld bottom=%ld small_icon=%d\n", rc.left, rc.top,
            rc.right, rc.bottom, GetSystemMetrics(SM_CXSMICON));

    // Stay until the harness closes our stdin (or dies, which closes it too); without a
    // readable stdin, until the prefix is shut down.
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[64];
    DWORD got = 0;
    if (in && in != INVALID_HANDLE_VALUE && GetFileType(in) == FILE_TYPE_PIPE) {
        while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        }
        return ExitOk;
    }
    Sleep(INFINITE);
    return ExitOk;
}

// Holds a hot key as another program would, until stdin closes: says registered=1 once it
// has it, registered=0 when Windows refused it.
int CmdHoldHotKey(UINT modifiers, UINT key) {
    BOOL held = RegisterHotKey(nullptr, 1, modifiers, key);
    wprintf(L"registered=%d\n", held ? 1 : 0);
    if (!held)
        return ExitNotFound;
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[64];
    DWORD got = 0;
    while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
    UnregisterHotKey(nullptr, 1);
    return ExitOk;
}

int CALLBACK CountFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return 1;
}

// Whether a font of that face is installed, as the font list has it: found=1 or found=0. A face
// that the system only substitutes by another is not found.
int CmdFont(const wchar_t* face) {
    LOGFONTW font = {};
    font.lfCharSet = DEFAULT_CHARSET;
    if (wcslen(face) >= LF_FACESIZE)
        return Usage();
    wcscpy(font.lfFaceName, face);
    int count = 0;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &font, CountFace, reinterpret_cast<LPARAM>(&count), 0);
    ReleaseDC(nullptr, screen);
    wprintf(L"found=%d\n", count > 0 ? 1 : 0);
    return count > 0 ? ExitOk : ExitNotFound;
}

// One product property as Windows Installer gives it to Apps and Features; empty if missing.
void PrintProductInfo(const wchar_t* key, const wchar_t* product, MSIINSTALLCONTEXT context,
                      const wchar_t* property) {
    wchar_t value[1024] = L"";
    DWORD size = ARRAYSIZE(value);
    if (MsiGetProductInfoExW(product, nullptr, context, property, value, &size) != ERROR_SUCCESS)
        value[0] = L'\0';
    wprintf(L" %ls=", key);
    PrintWord(value);
}

// The installed products of this user or of the machine named name, one line each (product,
// context user or machine, version, publisher, install location, icon), then count=N. By name,
// not by upgrade code, so that a product registered without its upgrade code shows too.
int CmdMsiProducts(const wchar_t* name) {
    wchar_t product[39];
    MSIINSTALLCONTEXT context;
    int count = 0;
    for (DWORD i = 0;
         MsiEnumProductsExW(nullptr, nullptr,
                            MSIINSTALLCONTEXT_USERUNMANAGED | MSIINSTALLCONTEXT_MACHINE, i, product,
                            &context, nullptr, nullptr) == ERROR_SUCCESS;
         i++) {
        wchar_t installed[256] = L"";
        DWORD size = ARRAYSIZE(installed);
        if (MsiGetProductInfoExW(product, nullptr, context, INSTALLPROPERTY_INSTALLEDPRODUCTNAME,
                                 installed, &size) != ERROR_SUCCESS ||
            wcscmp(installed, name) != 0)
            continue;
        wprintf(L"product=%ls context=%ls", product,
                context == MSIINSTALLCONTEXT_MACHINE ? L"machine" : L"user");
        PrintProductInfo(L"version", product, context, INSTALLPROPERTY_VERSIONSTRING);
        PrintProductInfo(L"publisher", product, context, INSTALLPROPERTY_PUBLISHER);
        PrintProductInfo(L"location", product, context, INSTALLPROPERTY_INSTALLLOCATION);
        PrintProductInfo(L"icon", product, context, INSTALLPROPERTY_PRODUCTICON);
        wprintf(L"\n");
        count++;
    }
    wprintf(L"count=%d\n", count);
    return ExitOk;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // The harness reads stdout through a pipe; make every line arrive at once.
    setvbuf(stdout, nullptr, _IONBF, 0);

    if (argc < 2)
        return Usage();
    const wchar_t* cmd = argv[1];
    unsigned long long a = 0, b = 0, c = 0;

    if (!wcscmp(cmd, L"find") && argc == 2)
        return CmdFind();
    if (!wcscmp(cmd, L"wait-window") && argc == 3 && ParseNumber(argv[2], &a))
        return CmdWaitWindow((DWORD)a);
    if (!wcscmp(cmd, L"post") && argc == 5 && ParseNumber(argv[2], &a) &&
        ParseNumber(argv[3], &b) && ParseNumber(argv[4], &c))
        return CmdPost((UINT)a, (WPARAM)b, (LPARAM)c);
    unsigned long long d = 0;
    if (!wcscmp(cmd, L"post-many") && argc == 6 && ParseNumber(argv[2], &a) &&
        ParseNumber(argv[3], &b) && ParseNumber(argv[4], &c) && ParseNumber(argv[5], &d))
        return CmdPost((UINT)a, (WPARAM)b, (LPARAM)c, d);
    if (!wcscmp(cmd, L"ping") && argc == 2)
        return CmdPing();
    if (!wcscmp(cmd, L"all") && argc == 2)
        return CmdAll();
    if (!wcscmp(cmd, L"msi-products") && argc == 3)
        return CmdMsiProducts(argv[2]);
    if (!wcscmp(cmd, L"font") && argc == 3)
        return CmdFont(argv[2]);
    if (!wcscmp(cmd, L"workarea") && argc == 2)
        return CmdWorkArea();
    if (!wcscmp(cmd, L"gdi") && argc == 3 && ParseNumber(argv[2], &a))
        return CmdGdi((DWORD)a);
    if (!wcscmp(cmd, L"wait-exit") && argc == 4 && ParseNumber(argv[2], &a) &&
        ParseNumber(argv[3], &b))
        return CmdWaitExit((DWORD)a, (DWORD)b);
    if (!wcscmp(cmd, L"settings") && (argc == 2 || (argc == 3 && ParseNumber(argv[2], &a))))
        return CmdSettings(argc == 3 ? (int)a : 0);
    if (!wcscmp(cmd, L"controls") && argc == 2)
        return CmdControls();
    if (!wcscmp(cmd, L"texts") && argc == 4 && ParseNumber(argv[3], &a))
        return CmdTexts(argv[2], (int)a);
    if (!wcscmp(cmd, L"foreground") && argc == 2)
        return CmdForeground();
    if (!wcscmp(cmd, L"stats") && argc == 3 && ParseNumber(argv[2], &a))
        return CmdStats((DWORD)a);
    if (!wcscmp(cmd, L"menu") && argc == 2)
        return CmdVisibleOfClass(L"#32768");
    if (!wcscmp(cmd, L"tooltip") && argc == 2)
        return CmdVisibleOfClass(L"tooltips_class32");
    if (!wcscmp(cmd, L"balloon") && argc == 2)
        return CmdVisibleOfClass(L"tooltips_class32", TTS_BALLOON, true);
    if (!wcscmp(cmd, L"tray-restart") && argc == 2)
        return CmdTrayRestart();
    if (!wcscmp(cmd, L"hold-hotkey") && argc == 4 && ParseNumber(argv[2], &a) &&
        ParseNumber(argv[3], &b))
        return CmdHoldHotKey((UINT)a, (UINT)b);
    if (!wcscmp(cmd, L"hold") && argc == 3 && ParseNumber(argv[2], &a))
        return CmdHold((DWORD)a);
    return Usage();
}
