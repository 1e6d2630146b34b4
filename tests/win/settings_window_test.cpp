// The settings window driven from a timer inside its own message loop, as a person would use
// it: tabs, start pages, Ctrl+Tab, the main page's controls, OK and Cancel; then the settings
// command that takes the result into use. Also the dialog helpers and the version texts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/apply_settings.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "res/resource.h"
#include "scripted_counters.h"
#include "supplied_monitors.h"
#include "settings/settings_schema.h"
#include "test_support.h"
#include "port/port.h"
#include "render/draw_resources.h"
#include "ui/dialog_helpers.h"
#include "ui/hot_key.h"
#include "ui/main_page.h"
#include "ui/style_pages.h"
#include "ui/settings_window.h"
#include "ui/version_text.h"
#include "window/sign_in.h"

namespace {

std::function<void(HWND)> TheDriver;

void Press(HWND frame, int id) {
    SendMessageW(frame, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

HWND FindFrame() {
    struct Search {
        HWND found;
    } search = {nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            if (IsWindowVisible(w) && GetDlgItem(w, TabControlId)) {
                reinterpret_cast<Search*>(p)->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK DriveTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND frame = FindFrame();
    if (!frame)
        return;
    auto driver = std::move(TheDriver);
    TheDriver = nullptr;
    driver(frame);
    // A driver stopped by a failed assertion leaves the window open: close it.
    if (testing::Test::HasFatalFailure() && IsWindow(frame))
        Press(frame, IDCANCEL);
}

// Arranges for driver to run with the frame once the settings window's loop is running.
void DriveSettingsWindow(std::function<void(HWND)> driver) {
    TheDriver = std::move(driver);
    SetTimer(nullptr, 0, 50, DriveTimer);
}

// Holds keys as far as this thread's GetKeyState sees them.
void HoldKeys(bool shift, bool control) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
}

// The visible page of the frame that has the control id.
HWND VisiblePageWith(HWND frame, int id) {
    HWND tabs = GetDlgItem(frame, TabControlId);
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child != tabs && IsWindowVisible(child) && GetDlgItem(child, id))
            return child;
    }
    return nullptr;
}

HWND CurrentPage(HWND frame) {
    return VisiblePageWith(frame, IDC_MAIN_INTERVAL);
}

int CurrentTab(HWND frame) {
    return static_cast<int>(SendDlgItemMessageW(frame, TabControlId, TCM_GETCURSEL, 0, 0));
}

class SettingsWindow : public testing::Test {
protected:
    void SetUp() override {
        LoadSettingsRecords(nullptr, &records, runs);
        before = records;
        LastSettingsPage = -1;
        HoldKeys(false, false);
    }
    void TearDown() override {
        HoldKeys(false, false);
        TheDriver = nullptr;
    }
    int Run() {
        return RunSettingsWindow(GetModuleHandleW(nullptr), owner, &records.Main, records.Slot,
                                 records.Style, ScriptedLibrary(), settingsPath, settingsArgument);
    }
    HWND owner = nullptr; // the graph window
    const wchar_t* settingsPath = nullptr;
    const wchar_t* settingsArgument = nullptr;
    SettingsRecords records = {};
    SettingsRecords before = {};
    CounterRun runs[2] = {};
};

TEST_F(SettingsWindow, ShowsFourTabsOrSevenWithTheSecondGraph) {
    for (uint32_t second : {0u, 1u}) {
        records.Main.SecondGraph = second;
        std::wstring labels, caption;
        DriveSettingsWindow([&](HWND frame) {
            HWND tabs = GetDlgItem(frame, TabControlId);
            int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
            for (int i = 0; i < count; i++) {
                wchar_t text[32] = L"";
                TCITEMW item = {};
                item.mask = TCIF_TEXT;
                item.pszText = text;
                item.cchTextMax = 32;
                SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
                labels += text;
                labels += L"|";
            }
            wchar_t title[64];
            GetWindowTextW(frame, title, 64);
            caption = title;
            EXPECT_TRUE(GetWindowLongW(frame, GWL_EXSTYLE) & WS_EX_APPWINDOW);
            Press(frame, IDCANCEL);
        });
        EXPECT_EQ(Run(), 2);
        EXPECT_EQ(labels, second ? L"本体|PDH|グラフ|アイコン|PDH2|グラフ2|アイコン2|"
                                 : L"本体|PDH|グラフ|アイコン|");
        EXPECT_EQ(caption, L"Ferrogauge0.1.0 設定");
    }
}

// The About box in Japanese: titled as its button, the version after " Version ".
// Then the settings file in use, so that the user can find it.
TEST_F(SettingsWindow, AboutBoxNamesProductVersionCopyrightAndTheSettingsFile) {
    MessageBoxAnswerer answerer(L"About...");
    for (const wchar_t* path : {static_cast<const wchar_t*>(nullptr), L"C:\\Tools\\mon.ini"}) {
        settingsPath = path;
        DriveSettingsWindow([&](HWND frame) {
            SendMessageW(CurrentPage(frame), WM_COMMAND, MAKEWPARAM(IDC_MAIN_ABOUT, BN_CLICKED),
                         0);
            Press(frame, IDCANCEL);
        });
        EXPECT_EQ(Run(), 2);
    }
    std::vector<std::wstring> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 2u);
    const std::wstring about = L"Ferrogauge Version 0.1.0\r\nCopyright (C) 2026 The Ferrogauge developers";
    EXPECT_EQ(texts[0], about);
    EXPECT_EQ(texts[1], about + L"\r\n\r\n設定ファイル: C:\\Tools\\mon.ini");
}

// child's window rectangle in the client coordinates of frame.
RECT RectIn(HWND frame, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The pages made so far: the frame's children that are dialogs.
std::vector<HWND> PagesOf(HWND frame) {
    std::vector<HWND> pages;
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = L"";
        GetClassNameW(child, name, 16);
        if (!wcscmp(name, L"#32770"))
            pages.push_back(child);
    }
    return pages;
}

// A scale change as Windows makes it for the frame, which has turned off the dialog manager's
// resizing and moving of its children (learn.microsoft.com, "DIALOG_DPI_CHANGE_BEHAVIORS
// enumeration (winuser.h)"): the dialog manager gives the frame, its controls and the pages
// with theirs the dialog font made at the new DPI, and the frame gets WM_DPICHANGED with a
// suggested rectangle (here the old one scaled, a little moved). Wine does neither.
TEST_F(SettingsWindow, AScaleChangeLaysTheFrameOutAgainAroundThePage) {
    std::vector<HFONT> fonts;
    DriveSettingsWindow([&](HWND frame) {
        for (int page = 3; page >= 0; page--)
            SendMessageW(frame, THM_SELECTPAGE, 0, page);
        PumpMessages();
        std::vector<HWND> pages = PagesOf(frame);
        ASSERT_EQ(pages.size(), 4u);
        HWND tabs = GetDlgItem(frame, TabControlId);
        HWND first = VisiblePageWith(frame, IDC_MAIN_INTERVAL);
        ASSERT_NE(first, nullptr);
        // At the start the page has its template's size in the dialog manager's own units.
        RECT startPage = RectIn(frame, first);
        RECT natural = {0, 0, 0, 0};
        SIZE units;
        ASSERT_TRUE(DialogTemplateSize(GetModuleHandleW(nullptr), IDD_MAIN_PAGE, &units));
        natural.right = units.cx;
        natural.bottom = units.cy;
        MapDialogRect(first, &natural);
        EXPECT_EQ(startPage.right - startPage.left, natural.right);
        EXPECT_EQ(startPage.bottom - startPage.top, natural.bottom);
        RECT startFrame;
        GetWindowRect(frame, &startFrame);

        wchar_t face[32] = L"";
        LoadStringW(GetModuleHandleW(nullptr), IDS_DIALOG_FONT, face, 32);
        int current = 96;
        for (int dpi : {144, 192, 96}) {
            SCOPED_TRACE(dpi);
            // First the system asks the frame its size at the new scale.
            SIZE scaled = {0, 0};
            EXPECT_EQ(SendMessageW(frame, 0x02E4 /* WM_GETDPISCALEDSIZE */, dpi,
                                   reinterpret_cast<LPARAM>(&scaled)),
                      TRUE);
            HFONT font = CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                     DEFAULT_CHARSET, 0, 0, 0, 0, face);
            fonts.push_back(font);
            SendMessageW(frame, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            EnumChildWindows(
                frame,
                [](HWND child, LPARAM font) -> BOOL {
                    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(font));
            RECT r;
            GetWindowRect(frame, &r);
            RECT suggested = {r.left + 7, r.top + 5,
                              r.left + 7 + MulDiv(r.right - r.left, dpi, current),
                              r.top + 5 + MulDiv(r.bottom - r.top, dpi, current)};
            SendMessageW(frame, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            PumpMessages();
            current = dpi;

            GetWindowRect(frame, &r);
            std::printf("[ figures  ] settings window at %d DPI: %ld x %ld\n", dpi,
                        r.right - r.left, r.bottom - r.top);
            EXPECT_EQ(r.left, suggested.left) << "placed where the system suggests";
            EXPECT_EQ(r.top, suggested.top);
            RECT client, area;
            GetClientRect(frame, &client);
            // The size it answered is the one the layout gave it, within what the tab's header
            // may differ in the font to come; border and caption at the new scale aside (Wine
            // draws them at one scale).
            using AdjustProc = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
            auto adjust = reinterpret_cast<AdjustProc>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
            ASSERT_NE(adjust, nullptr);
            RECT border = {0, 0, 0, 0};
            adjust(&border, GetWindowLongW(frame, GWL_STYLE), FALSE,
                   GetWindowLongW(frame, GWL_EXSTYLE), dpi);
            EXPECT_NEAR(scaled.cx - (border.right - border.left), client.right,
                        client.right * 3 / 100);
            EXPECT_NEAR(scaled.cy - (border.bottom - border.top), client.bottom,
                        client.bottom * 3 / 100);
            GetClientRect(tabs, &area);
            SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
            MapWindowPoints(tabs, frame, reinterpret_cast<POINT*>(&area), 2);
            for (HWND page : pages) {
                RECT placed = RectIn(frame, page);
                EXPECT_TRUE(EqualRect(&placed, &area)) << "each page fills the display area";
                EnumChildWindows(
                    page,
                    [](HWND control, LPARAM frame) -> BOOL {
                        RECT inner = RectIn(reinterpret_cast<HWND>(frame), control), outer;
                        GetClientRect(reinterpret_cast<HWND>(frame), &outer);
                        EXPECT_TRUE(Inside(inner, outer)) << "control " << GetDlgCtrlID(control);
                        return TRUE;
                    },
                    reinterpret_cast<LPARAM>(frame));
            }
            double grown = double(area.right - area.left) / (startPage.right - startPage.left);
            EXPECT_NEAR(grown, dpi / 96.0, 0.1) << "the page at its template size at this scale";
            RECT tab = RectIn(frame, tabs), ok = RectIn(frame, GetDlgItem(frame, IDOK)),
                 cancel = RectIn(frame, GetDlgItem(frame, IDCANCEL));
            EXPECT_TRUE(Inside(tab, client));
            EXPECT_GE(ok.top, tab.bottom) << "the buttons below the tab";
            EXPECT_EQ(cancel.top, ok.top);
            EXPECT_LE(ok.right, cancel.left);
            EXPECT_EQ(cancel.right, tab.right) << "at the tab's right end";
            EXPECT_TRUE(Inside(ok, client));
            EXPECT_TRUE(Inside(cancel, client));
        }
        // Back at 96 DPI: the frame's and the page's sizes of the start, without drift.
        RECT endPage = RectIn(frame, first), endFrame;
        GetWindowRect(frame, &endFrame);
        EXPECT_EQ(endPage.right - endPage.left, startPage.right - startPage.left);
        EXPECT_EQ(endPage.bottom - endPage.top, startPage.bottom - startPage.top);
        EXPECT_EQ(endFrame.right - endFrame.left, startFrame.right - startFrame.left);
        EXPECT_EQ(endFrame.bottom - endFrame.top, startFrame.bottom - startFrame.top);
        Press(frame, IDCANCEL);
    });
    EXPECT_EQ(Run(), 2);
    for (HFONT font : fonts)
        DeleteObject(font);
}

TEST_F(SettingsWindow, StartPageFollowsShiftCtrlAndThenThePageShownLast) {
    struct Case {
        int last;
        bool shift, control;
        int start;
    };
    const Case cases[] = {{-1, true, false, 1},  {-1, false, true, 2}, {-1, true, true, 1},
                          {-1, false, false, 0}, {2, true, false, 2},  {5, false, false, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "last " << c.last << " shift " << c.shift);
        LastSettingsPage = c.last;
        HoldKeys(c.shift, c.control);
        int shown = -1;
        DriveSettingsWindow([&](HWND frame) {
            shown = CurrentTab(frame);
            Press(frame, IDCANCEL);
        });
        EXPECT_EQ(Run(), 2);
        HoldKeys(false, false);
        EXPECT_EQ(shown, c.start);
        EXPECT_EQ(LastSettingsPage, c.start);
    }
}

TEST_F(SettingsWindow, CtrlTabWrapsAroundTheTabs) {
    LastSettingsPage = 3;
    std::vector<int> seen;
    DriveSettingsWindow([&](HWND frame) {
        HWND ok = GetDlgItem(frame, IDOK);
        // Each key press goes through the window's own loop; a timer looks after each.
        static HWND theFrame;
        static std::vector<int>* theSeen;
        theFrame = frame;
        theSeen = &seen;
        HoldKeys(false, true);
        PostMessageW(ok, WM_KEYDOWN, VK_TAB, 0);
        SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            theSeen->push_back(CurrentTab(theFrame));
            HoldKeys(true, true);
            PostMessageW(GetDlgItem(theFrame, IDOK), WM_KEYDOWN, VK_TAB, 0);
            SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id2, DWORD) {
                KillTimer(nullptr, id2);
                theSeen->push_back(CurrentTab(theFrame));
                HoldKeys(false, false);
                Press(theFrame, IDCANCEL);
            });
        });
    });
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(seen, (std::vector<int>{0, 3})) << "from the last tab to the first and back";
}

TEST_F(SettingsWindow, CancelKeepsTheRecordsAndOkAfterTheMainPageWritesOnlyMainSettings) {
    for (int button : {IDCANCEL, IDOK}) {
        records = before;
        LastSettingsPage = -1;
        DriveSettingsWindow([&](HWND frame) {
            HWND page = CurrentPage(frame);
            ASSERT_NE(page, nullptr);
            SetDlgItemTextW(page, IDC_MAIN_INTERVAL, L"500");
            CheckDlgButton(page, IDC_MAIN_FIT_GRID, BST_UNCHECKED);
            Press(frame, button);
        });
        EXPECT_EQ(Run(), button == IDOK ? 1 : 2);
        if (button == IDCANCEL) {
            EXPECT_EQ(std::memcmp(&records, &before, sizeof(records)), 0);
            continue;
        }
        EXPECT_EQ(records.Main.Interval, 500u);
        EXPECT_EQ(records.Main.Prop, before.Main.Prop & ~PropFitGrid);
        EXPECT_EQ(std::memcmp(records.Slot, before.Slot, sizeof(records.Slot)), 0);
        EXPECT_EQ(std::memcmp(records.Style, before.Style, sizeof(records.Style)), 0);
        EXPECT_EQ(std::memcmp(&records.Place, &before.Place, sizeof(records.Place)), 0);
    }
}

// What the end of the session leaves once the settings command has returned: the graph window
// and the settings window gone, the settings saved, and the quit waiting for the program's
// loop. Closes what a failure left open.
void ExpectTheSessionEnded(HWND window) {
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(FindFrame(), nullptr);
    EXPECT_FALSE(TheApp.RunFlag & SettingsOpen);
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is lost";
    EXPECT_NE(ReadFileBytes(SettingsPathBesideTests()), "<missing>") << "not saved";
    CloseGraphWindow(window);
    ForgetSettingsFile();
}

void EndTheSession(HWND window) {
    EXPECT_TRUE(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP));
    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
}

// The end of the session, or an installer closing the program as the Restart Manager does,
// while the settings window is open: the graph window saves and goes, the settings window with
// it, and the quit reaches the program's own loop so that the process ends.
TEST_F(SettingsWindow, TheEndOfTheSessionClosesItAndPassesTheQuitOn) {
    ForgetSettingsFile();
    HWND window = OpenGraphWindowWithFixedCounters();
    ASSERT_NE(window, nullptr);
    bool shown = false;
    DriveSettingsWindow([&](HWND frame) {
        shown = IsWindowVisible(frame) != FALSE;
        EndTheSession(window);
    });
    RunSettingsCommand(&TheApp, window);
    EXPECT_TRUE(shown);
    ExpectTheSessionEnded(window);
}

// The same with a message box open over the settings window: the box's loop, the settings
// window's and the program's each pass the quit on.
struct SessionEnd {
    HWND Window; // the graph window
    HWND Frame;  // the settings window
    int Ticks;   // timer ticks spent waiting for the box
    bool BoxSeen;
} TheSessionEnd;

// A tick of the timer that waits, inside the box's own loop, for the About box over the frame,
// and then ends the session; after 10 s without a box it gives up and closes the frame.
void CALLBACK EndTheSessionOverTheBox(HWND, UINT, UINT_PTR id, DWORD) {
    SessionEnd& end = TheSessionEnd;
    // A visible window of this thread that the frame owns.
    struct Search {
        HWND Owner, Found;
    } search = {end.Frame, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            Search* s = reinterpret_cast<Search*>(p);
            if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == s->Owner) {
                s->Found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.Found) {
        KillTimer(nullptr, id);
        end.BoxSeen = true;
        EndTheSession(end.Window);
    } else if (++end.Ticks > 200) {
        KillTimer(nullptr, id);
        ADD_FAILURE() << "no About box";
        Press(end.Frame, IDCANCEL);
    }
}

TEST_F(SettingsWindow, TheEndOfTheSessionOverAMessageBoxPassesTheQuitOnToo) {
    ForgetSettingsFile();
    TheSessionEnd = {OpenGraphWindowWithFixedCounters(), nullptr, 0, false};
    ASSERT_NE(TheSessionEnd.Window, nullptr);
    DriveSettingsWindow([&](HWND frame) {
        TheSessionEnd.Frame = frame;
        SetTimer(nullptr, 0, 50, EndTheSessionOverTheBox);
        PostMessageW(CurrentPage(frame), WM_COMMAND, MAKEWPARAM(IDC_MAIN_ABOUT, BN_CLICKED), 0);
    });
    RunSettingsCommand(&TheApp, TheSessionEnd.Window);
    ASSERT_TRUE(TheSessionEnd.BoxSeen);
    EXPECT_FALSE(IsWindow(TheSessionEnd.Frame));
    ExpectTheSessionEnded(TheSessionEnd.Window);
}

WORD ControlHotKey(HWND page) {
    return LOWORD(SendDlgItemMessageW(page, IDC_MAIN_HOTKEY, HKM_GETHOTKEY, 0, 0));
}

void PressHotKey(HWND page, WORD value) {
    SendDlgItemMessageW(page, IDC_MAIN_HOTKEY, HKM_SETHOTKEY, value, 0);
}

// The hot-key control shows the setting and stores what is pressed into it in the setting's
// own layout (RegisterHotKey modifiers, other bits kept); a setting it cannot show (one with
// the Windows key) stays as it is unless another combination is pressed, and a cleared
// control means no hot key.
TEST_F(SettingsWindow, MainPageShowsTheHotKeyAndStoresThePressedOneInTheSettingsLayout) {
    struct Case {
        const char* what;
        uint32_t setting;
        WORD shown;
        WORD pressed; // 0xFFFF: nothing pressed
        uint32_t stored;
    };
    const Case cases[] = {
        {"the default, untouched", 0x007B011D, MAKEWORD(0x1D, HOTKEYF_ALT), 0xFFFF, 0x007B011D},
        {"Ctrl+Shift+F9 pressed", 0xAB00011D, MAKEWORD(0x1D, HOTKEYF_ALT),
         MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_SHIFT), 0xAB000678},
        {"Alt+Home, an extended key", 0x0000011D, MAKEWORD(0x1D, HOTKEYF_ALT),
         MAKEWORD(VK_HOME, HOTKEYF_ALT | HOTKEYF_EXT), 0x00000124},
        {"Win+Alt+F12 kept", 0x0000097B, MAKEWORD(VK_F12, HOTKEYF_ALT), 0xFFFF, 0x0000097B},
        // Shown as the navigation block's Home, not the numeric pad's 7.
        {"Alt+Home shown", 0x00000124, MAKEWORD(VK_HOME, HOTKEYF_ALT | HOTKEYF_EXT), 0xFFFF,
         0x00000124},
        {"cleared", 0x7B00031D, MAKEWORD(0x1D, HOTKEYF_ALT | HOTKEYF_CONTROL), 0, 0x7B000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        records = before;
        records.Main.HkShow = c.setting;
        WORD shown = 0;
        DriveSettingsWindow([&](HWND frame) {
            HWND page = CurrentPage(frame);
            ASSERT_NE(page, nullptr);
            shown = ControlHotKey(page);
            if (c.pressed != 0xFFFF)
                PressHotKey(page, c.pressed);
            Press(frame, IDOK);
        });
        EXPECT_EQ(Run(), 1);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(records.Main.HkShow, c.stored);
    }
    // Its name as the user reads it, in the program's language.
    wchar_t name[64];
    HotKeyName(GetModuleHandleW(nullptr), 0x678, name, 64);
    EXPECT_STREQ(name, L"Ctrl+Shift+F9");
    HotKeyName(GetModuleHandleW(nullptr), 0x91D, name, 64);
    EXPECT_EQ(std::wstring(name).substr(0, 8), L"Win+Alt+");
}

// A combination another program holds is refused at OK with a message that names it: the
// window stays open on the General page and nothing is stored, until a free one is pressed.
TEST_F(SettingsWindow, AHotKeyHeldByAnotherProgramIsRefusedAtOk) {
    HWND holder = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(holder, 9, MOD_CONTROL | MOD_ALT, VK_F9));
    MessageBoxAnswerer answerer;
    records.Main.SecondGraph = 1;
    before = records;
    bool stayed = false, kept = false;
    int pageAfter = -1;
    DriveSettingsWindow([&](HWND frame) {
        HWND page = CurrentPage(frame);
        ASSERT_NE(page, nullptr);
        SetDlgItemTextW(page, IDC_MAIN_INTERVAL, L"500");
        PressHotKey(page, MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT));
        SendMessageW(frame, THM_SELECTPAGE, 0, 2); // OK pressed on another tab
        Press(frame, IDOK);
        stayed = IsWindow(frame) != FALSE;
        kept = std::memcmp(&records, &before, sizeof(records)) == 0;
        pageAfter = CurrentTab(frame);
        PressHotKey(page, MAKEWORD(VK_F10, HOTKEYF_CONTROL | HOTKEYF_ALT));
        Press(frame, IDOK);
    });
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(kept) << "nothing stored while the key was refused";
    EXPECT_EQ(pageAfter, 0) << "back on the General page";
    std::vector<std::wstring> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(L"Ctrl+Alt+F9"), std::wstring::npos) << texts[0];
    EXPECT_EQ(records.Main.HkShow, (before.Main.HkShow & ~0xFFFu) | 0x379); // Ctrl+Alt+F10
    EXPECT_EQ(records.Main.Interval, 500u);
    // The page let the free key go again: the graph window can take it.
    EXPECT_TRUE(RegisterHotKey(holder, 10, MOD_CONTROL | MOD_ALT, VK_F10));
    UnregisterHotKey(holder, 10);
    UnregisterHotKey(holder, 9);
    DestroyWindow(holder);
}

// The program's entry under the user's Run key, as the General page's check box shows and
// changes it.
class SignInBox : public SettingsWindow {
protected:
    static constexpr const wchar_t* RunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const wchar_t* ApprovedKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    void SetUp() override {
        SettingsWindow::SetUp();
        Forget();
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        program = path;
    }
    void TearDown() override {
        Forget();
        SettingsWindow::TearDown();
    }
    static void Forget() {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKey, L"Ferrogauge");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, ApprovedKey, L"Ferrogauge");
    }
    static void SetEntry(const std::wstring& command) {
        RegSetKeyValueW(HKEY_CURRENT_USER, RunKey, L"Ferrogauge", REG_SZ, command.c_str(),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    // As Task Manager marks an entry: a first byte of 2 (on) or 3 (off), then the time.
    static void Approve(BYTE first) {
        BYTE data[12] = {first};
        RegSetKeyValueW(HKEY_CURRENT_USER, ApprovedKey, L"Ferrogauge", REG_BINARY, data, 12);
    }
    static std::wstring Entry() {
        wchar_t command[600];
        DWORD size = sizeof(command);
        if (RegGetValueW(HKEY_CURRENT_USER, RunKey, L"Ferrogauge", RRF_RT_REG_SZ, nullptr, command,
                         &size) != ERROR_SUCCESS)
            return L"<none>";
        return command;
    }
    struct Shown {
        bool checked, enabled, note;
    };
    // Opens the settings window, reads the box, clicks it when asked, lets meanwhile happen,
    // and presses OK.
    Shown Open(bool click = false, std::function<void()> meanwhile = nullptr) {
        Shown shown = {};
        DriveSettingsWindow([&](HWND frame) {
            HWND page = CurrentPage(frame);
            ASSERT_NE(page, nullptr);
            HWND box = GetDlgItem(page, IDC_MAIN_SIGN_IN);
            shown = {IsDlgButtonChecked(page, IDC_MAIN_SIGN_IN) == BST_CHECKED,
                     IsWindowEnabled(box) != FALSE,
                     IsWindowVisible(GetDlgItem(page, IDC_MAIN_SIGN_IN_NOTE)) != FALSE};
            if (click)
                SendMessageW(box, BM_CLICK, 0, 0);
            if (meanwhile)
                meanwhile();
            Press(frame, IDOK);
        });
        EXPECT_EQ(Run(), 1);
        return shown;
    }
    std::wstring program;
};

// The program an entry starts, read as Windows reads a command: quoted, or unquoted with
// blanks (Windows tries the text up to each blank in turn), in any letter case.
TEST(SignInCommand, NamesTheProgramAsWindowsWouldStartIt) {
    const wchar_t* program = L"C:\\Program Files\\Ferro gauge\\ferrogauge.exe";
    struct Case {
        const wchar_t* command;
        bool starts;
    };
    const Case cases[] = {
        {L"\"C:\\Program Files\\Ferro gauge\\ferrogauge.exe\" \"D:\\a b.ini\"", true},
        {L"C:\\Program Files\\Ferro gauge\\ferrogauge.exe", true},
        {L"c:\\program files\\ferro gauge\\FERROGAUGE.EXE D:\\a.ini", true},
        {L"  \"C:\\Program Files\\Ferro gauge\\ferrogauge.exe\"", true},
        {L"\"C:\\Program Files\\Ferro gauge\\ferrogauge.exe.old\"", false},
        {L"\"C:\\Old\\ferrogauge.exe\"", false},
        {L"C:\\Program", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.command)));
        EXPECT_EQ(CommandStartsProgram(c.command, program), c.starts);
    }
    wchar_t command[64];
    EXPECT_TRUE(SignInCommand(L"C:\\f.exe", nullptr, command, 64));
    EXPECT_STREQ(command, L"\"C:\\f.exe\"");
    EXPECT_FALSE(SignInCommand(L"C:\\f.exe", L"C:\\a.ini", command, 20)) << "does not fit";
}

TEST_F(SignInBox, TickingWritesThisProgramAndClearingRemovesIt) {
    Shown shown = Open(true);
    EXPECT_FALSE(shown.checked);
    EXPECT_TRUE(shown.enabled);
    EXPECT_FALSE(shown.note);
    EXPECT_EQ(Entry(), L"\"" + program + L"\"");
    shown = Open(true);
    EXPECT_TRUE(shown.checked) << "read again at the next opening";
    EXPECT_EQ(Entry(), L"<none>");
    // Started with a settings file: Windows passes it on, quoted.
    settingsArgument = L"C:\\my settings\\mon.ini";
    Open(true);
    EXPECT_EQ(Entry(), L"\"" + program + L"\" \"C:\\my settings\\mon.ini\"");
    // Left as it is, nothing is written.
    SetEntry(L"\"" + program + L"\" \"D:\\other.ini\"");
    EXPECT_TRUE(Open().checked);
    EXPECT_EQ(Entry(), L"\"" + program + L"\" \"D:\\other.ini\"");
}

TEST_F(SignInBox, AnEntryOfAnotherCopyShowsUncheckedAndIsReplacedOnlyWhenTicked) {
    std::wstring upper = program;
    CharUpperW(&upper[0]);
    SetEntry(upper); // this program, unquoted and in other letters
    EXPECT_TRUE(Open().checked);
    const std::wstring other = L"\"C:\\Old place\\ferrogauge.exe\"";
    SetEntry(other);
    EXPECT_FALSE(Open().checked);
    EXPECT_EQ(Entry(), other) << "left alone";
    Open(true);
    EXPECT_EQ(Entry(), L"\"" + program + L"\"") << "ticked: this copy";
    // Cleared while another copy took the entry: that copy's entry stays.
    EXPECT_TRUE(Open(true, [&] { SetEntry(other); }).checked);
    EXPECT_EQ(Entry(), other);
}

TEST_F(SignInBox, AnEntryTurnedOffInTaskManagerIsLeftToTheUser) {
    // A mark left from an entry removed since: Task Manager would not list a new one as off
    // until it is there, so the box is the user's to tick.
    Approve(3);
    Shown shown = Open(true);
    EXPECT_TRUE(shown.enabled);
    EXPECT_FALSE(shown.note);
    EXPECT_EQ(Entry(), L"\"" + program + L"\"");
    const std::wstring withFile = L"\"" + program + L"\" \"D:\\x.ini\"";
    SetEntry(withFile);
    // Ticked anyway (as a key press on a box that is unavailable cannot): nothing written.
    shown = Open(false, [&] {
        HWND page = CurrentPage(FindFrame());
        CheckDlgButton(page, IDC_MAIN_SIGN_IN, BST_CHECKED);
    });
    EXPECT_FALSE(shown.checked);
    EXPECT_FALSE(shown.enabled);
    EXPECT_TRUE(shown.note);
    EXPECT_EQ(Entry(), withFile) << "not overridden";
    Approve(2); // turned on again there
    shown = Open();
    EXPECT_TRUE(shown.checked);
    EXPECT_TRUE(shown.enabled);
    EXPECT_FALSE(shown.note);
}

TEST_F(SettingsWindow, MainPageClampsWhatItStores) {
    struct Case {
        const wchar_t *interval, *alpha, *hover, *snap;
        uint32_t storedInterval, storedAlpha, storedSnap;
    };
    const Case cases[] = {
        {L"50", L"5", L"100", L"", 100, (90u << 16) | 10, 1},
        {L"70000", L"100", L"5", L"99", 60000, (10u << 16) | 90, 50},
        {L"", L"40", L"70", L"7", 100, (70u << 16) | 40, 7},
    };
    for (const Case& c : cases) {
        records = before;
        DriveSettingsWindow([&](HWND frame) {
            HWND page = CurrentPage(frame);
            ASSERT_NE(page, nullptr);
            SetDlgItemTextW(page, IDC_MAIN_INTERVAL, c.interval);
            SetDlgItemTextW(page, IDC_MAIN_ALPHA, c.alpha);
            SetDlgItemTextW(page, IDC_MAIN_HOVER_ALPHA, c.hover);
            SetDlgItemTextW(page, IDC_MAIN_SNAP_PIXEL, c.snap);
            Press(frame, IDOK);
        });
        EXPECT_EQ(Run(), 1);
        EXPECT_EQ(records.Main.Interval, c.storedInterval);
        EXPECT_EQ(records.Main.WndAlpha, c.storedAlpha);
        EXPECT_EQ(records.Main.SnapPixel, c.storedSnap);
    }
}

TEST_F(SettingsWindow, MainPageEnablesItsControlsAsTheyDepend) {
    records.Main.Prop = 0x603 | PropNoTrayIcon | PropHoverOn | PropHoverHides;
    records.Main.Prop &= ~PropSnapEdges;
    DriveSettingsWindow([&](HWND frame) {
        HWND page = CurrentPage(frame);
        ASSERT_NE(page, nullptr);
        auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; };
        EXPECT_FALSE(enabled(IDC_MAIN_NO_ICON_GRAPH)) << "no tray icon: no icon graph";
        EXPECT_FALSE(enabled(IDC_MAIN_SNAP_PIXEL)) << "no snapping: no distance";
        EXPECT_TRUE(enabled(IDC_MAIN_HOVER_HIDE));
        EXPECT_FALSE(enabled(IDC_MAIN_HOVER_ALPHA)) << "hiding needs no translucency";
        // A person clicks: the fade action, then the hover box off, the tray box off.
        SendDlgItemMessageW(page, IDC_MAIN_HOVER_FADE, BM_CLICK, 0, 0);
        EXPECT_TRUE(enabled(IDC_MAIN_HOVER_ALPHA));
        SendDlgItemMessageW(page, IDC_MAIN_HOVER, BM_CLICK, 0, 0);
        EXPECT_FALSE(enabled(IDC_MAIN_HOVER_HIDE));
        EXPECT_FALSE(enabled(IDC_MAIN_HOVER_FADE));
        SendDlgItemMessageW(page, IDC_MAIN_NO_TRAY, BM_CLICK, 0, 0);
        EXPECT_TRUE(enabled(IDC_MAIN_NO_ICON_GRAPH));
        SendDlgItemMessageW(page, IDC_MAIN_SNAP, BM_CLICK, 0, 0);
        EXPECT_TRUE(enabled(IDC_MAIN_SNAP_PIXEL));
        // The spinner steps the interval to the next multiple of its step.
        SetDlgItemTextW(page, IDC_MAIN_INTERVAL, L"250");
        HWND spin = GetDlgItem(page, IDC_MAIN_INTERVAL_SPIN);
        SendMessageW(page, WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(spin));
        EXPECT_EQ(GetDlgItemInt(page, IDC_MAIN_INTERVAL, nullptr, FALSE), 300u);
        SendDlgItemMessageW(page, IDC_MAIN_SECOND_GRAPH, BM_CLICK, 0, 0);
        Press(frame, IDOK);
    });
    EXPECT_EQ(Run(), 1);
    uint32_t prop = records.Main.Prop;
    EXPECT_EQ(prop & (PropNoTrayIcon | PropHoverOn | PropHoverHides | PropSnapEdges),
              PropSnapEdges);
    EXPECT_EQ(prop & (PropShown | PropTopmost | PropFitGrid), PropShown | PropTopmost | PropFitGrid)
        << "bits the page does not edit keep their values";
    EXPECT_EQ(records.Main.Interval, 300u);
    EXPECT_EQ(records.Main.SecondGraph, 1u);
}

class CounterPage : public SettingsWindow {
protected:
    void SetUp() override {
        SettingsWindow::SetUp();
        script = ResetScript();
        records.Main.SecondGraph = 1;
        records.Slot[0].Runtime = &runs[0];
        records.Slot[1].Runtime = &runs[1];
        runs[0].MaxValue = 77;
        before = records;
    }
    // Opens the settings window on the page of tab and lets drive work on it before OK.
    void OnPage(int tab, std::function<void(HWND)> drive, int button = IDOK) {
        LastSettingsPage = tab;
        DriveSettingsWindow([&, drive, button](HWND frame) {
            HWND page = VisiblePageWith(frame, IDC_COUNTER_PATH);
            ASSERT_NE(page, nullptr);
            drive(page);
            Press(frame, button);
        });
        EXPECT_EQ(Run(), button == IDOK ? 1 : 2);
    }
    // Puts text in the path box as typing does (which marks the box as changed).
    static void TypePath(HWND page, const wchar_t* text) {
        SetDlgItemTextW(page, IDC_COUNTER_PATH, text);
        SendDlgItemMessageW(page, IDC_COUNTER_PATH, EM_SETMODIFY, TRUE, 0);
    }
    static std::wstring Text(HWND page, int id) {
        wchar_t text[300] = L"";
        GetDlgItemTextW(page, id, text, 300);
        return text;
    }
    // Graph 1 as a file whose path, title, unit and face name were too long for their fields
    // leaves it.
    void Slot0Empty() {
        CounterSlot& slot = records.Slot[0];
        slot.Path[0] = slot.Title[0] = slot.Unit[0] = slot.Font[0] = L'\0';
        slot.LongInFile = LongPath | LongTitle | LongUnit | LongFont;
    }
    ScriptedCounters* script = nullptr;
};

TEST_F(CounterPage, ShowsTheSlotAndStoresItBackWithoutChanges) {
    OnPage(1, [](HWND page) {
        EXPECT_TRUE(IsDlgButtonChecked(page, IDC_COUNTER_USE));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_COUNTER_USE))) << "graph 1 always draws";
        EXPECT_EQ(Text(page, IDC_COUNTER_PATH), L"\\Processor(_Total)\\% Processor Time");
        EXPECT_EQ(Text(page, IDC_COUNTER_VALMAX), L"100");
        EXPECT_EQ(Text(page, IDC_COUNTER_MAXVALUE), L"77");
        // The read-only figure is no stop of the Tab key and has only its static edge.
        HWND maxValue = GetDlgItem(page, IDC_COUNTER_MAXVALUE);
        EXPECT_EQ(GetWindowLongW(maxValue, GWL_STYLE) & (WS_TABSTOP | WS_BORDER), 0);
        EXPECT_EQ(GetWindowLongW(maxValue, GWL_EXSTYLE) & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE),
                  WS_EX_STATICEDGE);
        EXPECT_EQ(Text(page, IDC_COUNTER_TITLE), L"CPU ");
        EXPECT_EQ(Text(page, IDC_COUNTER_UNIT), L" %");
        EXPECT_EQ(Text(page, IDC_COUNTER_ALARM_STATE), L"停止中");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_COUNTER_ALARM_SETTINGS)));
        EXPECT_EQ(SendDlgItemMessageW(page, IDC_COUNTER_UNIT_MODE, CB_GETCOUNT, 0, 0), 8);
    });
    EXPECT_EQ(records.Slot[0].ChangeMask, 0u) << "an unchanged page changes nothing";
    EXPECT_EQ(std::memcmp(&records.Slot[0], &before.Slot[0], sizeof(CounterSlot)), 0);

    OnPage(4, [](HWND page) {
        EXPECT_FALSE(IsDlgButtonChecked(page, IDC_COUNTER_USE)) << "graph 2 follows its flag";
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_COUNTER_USE)));
        SendDlgItemMessageW(page, IDC_COUNTER_USE, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(records.Slot[1].ChangeMask, 0x1u);
    EXPECT_TRUE(records.Slot[1].PdhFlag & PdhUse);
}

TEST_F(CounterPage, StoresTheFullScaleClampedAndTheChangesItMade) {
    struct Case {
        const wchar_t* typed;
        int64_t stored;
    };
    const Case cases[] = {{L"0", 1}, {L"", 1}, {L"250", 250}, {L"99999999999999", 9999999999999}};
    for (const Case& c : cases) {
        records = before;
        OnPage(1, [&](HWND page) { SetDlgItemTextW(page, IDC_COUNTER_VALMAX, c.typed); });
        EXPECT_EQ(records.Slot[0].ValMax, c.stored);
        EXPECT_EQ(records.Slot[0].ChangeMask, 0x4u);
    }
    // The box gives up a value above the limit when it loses the focus.
    OnPage(
        1,
        [](HWND page) {
            SetDlgItemTextW(page, IDC_COUNTER_VALMAX, L"99999999999999");
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_COUNTER_VALMAX, EN_KILLFOCUS),
                         reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_COUNTER_VALMAX)));
            EXPECT_EQ(Text(page, IDC_COUNTER_VALMAX), L"9999999999999");
        },
        IDCANCEL);

    // The path's letter case counts; the value text options go into PdhFlag.
    records = before;
    OnPage(1, [](HWND page) {
        TypePath(page, L"\\processor(_Total)\\% Processor Time");
        SendDlgItemMessageW(page, IDC_COUNTER_ALIGN_RIGHT, BM_CLICK, 0, 0);
        SendDlgItemMessageW(page, IDC_COUNTER_UNIT_MODE, CB_SETCURSEL, 6, 0);
        SetDlgItemTextW(page, IDC_COUNTER_TITLE, L"  load ");
        SendDlgItemMessageW(page, IDC_COUNTER_ALARM_USE, BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_COUNTER_ALARM_SETTINGS)));
    });
    EXPECT_EQ(records.Slot[0].ChangeMask, 0x2u);
    EXPECT_EQ(records.Slot[0].PdhFlag, PdhUse | PdhAlignRight | (6u << PdhUnitShift));
    EXPECT_STREQ(records.Slot[0].Title, L"  load ") << "stored as typed";
    EXPECT_TRUE(records.Slot[0].AlarmFlag & AlarmUse);
}

// Values of the file too long for their boxes show empty; the page leaves their marks while the
// boxes stay empty, so that the save keeps the file's values, and takes them off a box the user
// wrote in.
TEST_F(CounterPage, AValueWrittenOverOneTooLongForItsBoxEndsItsMark) {
    Slot0Empty();
    OnPage(1, [](HWND page) {
        EXPECT_EQ(Text(page, IDC_COUNTER_TITLE), L"");
        SetDlgItemTextW(page, IDC_COUNTER_TITLE, L"Disk ");
    });
    EXPECT_EQ(records.Slot[0].LongInFile, LongPath | LongUnit | LongFont);
    EXPECT_STREQ(records.Slot[0].Title, L"Disk ");

    OnPage(1, [](HWND page) {
        TypePath(page, L"\\System\\System Up Time");
        SetDlgItemTextW(page, IDC_COUNTER_UNIT, L" s");
    });
    EXPECT_EQ(records.Slot[0].LongInFile, LongFont) << "the face name has no box";
}

// An empty instance is shown filled in; left as shown, the path keeps its "()", so that the
// graph follows whichever instance is first when its counter is added again. A path the user
// changed is stored as typed, the filled-in instance too.
TEST_F(CounterPage, AnEmptyInstanceIsShownFilledInAndKeptWhenLeftAsShown) {
    lstrcpyW(records.Slot[0].Path, L"\\Network Interface()\\Bytes Total/sec");
    script->instances = std::wstring(L"eth0\0lo\0", 9);
    OnPage(1, [](HWND page) {
        EXPECT_EQ(Text(page, IDC_COUNTER_PATH), L"\\Network Interface(eth0)\\Bytes Total/sec");
    });
    EXPECT_STREQ(records.Slot[0].Path, L"\\Network Interface()\\Bytes Total/sec");
    EXPECT_EQ(records.Slot[0].ChangeMask, 0u) << "the path is the one it was";

    // Typed in with the instance that "()" stands for now: stored as typed, that instance.
    OnPage(1, [](HWND page) { TypePath(page, L"\\Network Interface(eth0)\\Bytes Total/sec"); });
    EXPECT_STREQ(records.Slot[0].Path, L"\\Network Interface(eth0)\\Bytes Total/sec");
    EXPECT_EQ(records.Slot[0].ChangeMask, 0x2u);
    OnPage(1, [](HWND page) { TypePath(page, L"\\Network Interface(lo)\\Bytes Total/sec"); });
    EXPECT_STREQ(records.Slot[0].Path, L"\\Network Interface(lo)\\Bytes Total/sec");
}

TEST_F(CounterPage, AlarmStateShowsStoppedWaitingOrRunning) {
    struct Case {
        uint32_t flag, state;
        const wchar_t* text;
    };
    const Case cases[] = {{0, 0, L"停止中"}, {AlarmUse, 0, L"待機中"}, {AlarmUse, 1, L"動作中"}};
    for (const Case& c : cases) {
        records.Slot[0].AlarmFlag = c.flag;
        runs[0].AlarmState = c.state;
        OnPage(
            1, [&](HWND page) { EXPECT_EQ(Text(page, IDC_COUNTER_ALARM_STATE), c.text); },
            IDCANCEL);
    }
}

// The alarm dialog, opened from graph 1's counter page by its button; drive works on it and
// then presses its OK (or Cancel), after which the settings window is cancelled.
std::function<void(HWND)> TheAlarmDriver;

void CALLBACK DriveAlarmDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dialog = FindWindowW(L"#32770", L"アラーム設定");
    if (!dialog)
        return;
    auto driver = std::move(TheAlarmDriver);
    TheAlarmDriver = nullptr;
    driver(dialog);
    if (IsWindow(dialog))
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

class AlarmDialog : public CounterPage {
protected:
    void Edit(std::function<void(HWND)> drive, int button = IDOK) {
        records.Slot[0].AlarmFlag |= AlarmUse;
        OnPage(
            1,
            [&, drive, button](HWND page) {
                TheAlarmDriver = [drive, button](HWND dialog) {
                    drive(dialog);
                    SendMessageW(dialog, WM_COMMAND, button, 0);
                };
                SetTimer(nullptr, 0, 50, DriveAlarmDialog);
                ASSERT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_COUNTER_ALARM_SETTINGS)));
                SendDlgItemMessageW(page, IDC_COUNTER_ALARM_SETTINGS, BM_CLICK, 0, 0);
            },
            IDCANCEL);
    }
    static int Selected(HWND dialog, int id) {
        return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
    }
};

TEST_F(AlarmDialog, ComparisonCodesShowAsTheirItemsAndStoreTheirCodes) {
    struct Case {
        uint32_t code;
        int item;
        uint32_t stored;
    };
    const Case cases[] = {{0, 0, 1}, {1, 0, 1}, {2, 1, 3}, {3, 1, 3},
                          {5, 2, 5}, {6, 3, 6}, {7, 4, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code);
        records.Slot[0].AlarmFlag = c.code << AlarmCompareShift;
        int shown = -1;
        Edit([&](HWND dialog) { shown = Selected(dialog, IDC_ALARM_COMPARE); });
        EXPECT_EQ(shown, c.item);
        EXPECT_EQ((records.Slot[0].AlarmFlag & AlarmCompareMask) >> AlarmCompareShift, c.stored)
            << "kept although the settings window was cancelled";
    }
}

TEST_F(AlarmDialog, DisabledBoxesStillStoreAndAnEmptyFileLeavesNoText) {
    records.Slot[0].AlarmFlag = AlarmPrevThreshold | (4u << AlarmActionShift);
    Edit([](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_ALARM_BORDER)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_ALARM_OPTION))) << "log: option";
        SetDlgItemTextW(dialog, IDC_ALARM_BORDER, L"55");
        SetDlgItemTextW(dialog, IDC_ALARM_DURATION, L"5000");
        SetDlgItemTextW(dialog, IDC_ALARM_FILE, L"C:\\alarm.log");
        SetDlgItemTextW(dialog, IDC_ALARM_OPTION, L"%v\\r\\n");
        // The beep action needs neither box, but what they hold is kept.
        SendDlgItemMessageW(dialog, IDC_ALARM_ACTION, CB_SETCURSEL, 0, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ALARM_ACTION, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ALARM_ACTION)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_ALARM_FILE)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_ALARM_OPTION)));
        SendDlgItemMessageW(dialog, IDC_ALARM_REPEAT, BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, IDC_ALARM_OFF_AFTER, BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_ALARM_REPEAT)));
    });
    const CounterSlot& slot = records.Slot[0];
    EXPECT_EQ(slot.AlarmBorder, 55);
    EXPECT_EQ(slot.AlarmDuration, 5000u);
    EXPECT_EQ(slot.AlarmFlag & (AlarmPrevThreshold | AlarmRepeat | AlarmOffAfterFire),
              AlarmPrevThreshold | AlarmRepeat | AlarmOffAfterFire);
    EXPECT_EQ((slot.AlarmFlag & AlarmActionMask) >> AlarmActionShift, 0u);
    ASSERT_NE(slot.AlarmFile, nullptr);
    EXPECT_STREQ(slot.AlarmFile, L"C:\\alarm.log");
    ASSERT_NE(slot.AlarmOption, nullptr);
    EXPECT_STREQ(slot.AlarmOption, L"%v\\r\\n");

    Edit([](HWND dialog) {
        EXPECT_EQ(GetWindowTextLengthW(GetDlgItem(dialog, IDC_ALARM_FILE)), 12);
        SetDlgItemTextW(dialog, IDC_ALARM_FILE, L"");
    });
    EXPECT_EQ(records.Slot[0].AlarmFile, nullptr) << "an emptied box leaves no text";

    // Cancel in the dialog stores nothing.
    Edit([](HWND dialog) { SetDlgItemTextW(dialog, IDC_ALARM_BORDER, L"99"); }, IDCANCEL);
    EXPECT_EQ(records.Slot[0].AlarmBorder, 55);
    PortHeapFree(records.Slot[0].AlarmOption);
    records.Slot[0].AlarmOption = nullptr;
}

// A file the action cannot use is refused at OK with the reason, and the dialog stores nothing
// and stays with the file box ready for another: the settings file as a log, a device for a file to open, play
// or write to.
TEST_F(AlarmDialog, AFileTheActionCannotUseIsRefusedAtOk) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring settings = std::wstring(temp) + L"ferrogauge.ini";
    settingsPath = settings.c_str();
    struct Case {
        uint32_t action;
        std::wstring file;
        const wchar_t* reason; // null: taken
    };
    const Case cases[] = {
        {AlarmWriteLog, settings, L"これは Ferrogauge の設定ファイルです。"},
        {AlarmWriteLog, L"\\\\.\\PhysicalDrive0", L"この名前はファイルではなくデバイスを"},
        {AlarmPlaySound, L"C:\\sounds\\nul.wav", L"この名前はファイルではなくデバイスを"},
        {AlarmOpenFile, L"COM1", L"この名前はファイルではなくデバイスを"},
        {AlarmPlaySound, settings, nullptr},
        {AlarmRunProgram, L"C:\\tools\\con.exe", nullptr},
        {AlarmWriteLog, std::wstring(temp) + L"alarm.log", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file.begin(), c.file.end()));
        records.Slot[0].AlarmFlag = c.action << AlarmActionShift;
        MessageBoxAnswerer boxes;
        Edit(
            [&](HWND dialog) {
                SetDlgItemTextW(dialog, IDC_ALARM_FILE, c.file.c_str());
                SendMessageW(dialog, WM_COMMAND, IDOK, 0);
                if (c.reason) {
                    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_ALARM_FILE));
                }
            },
            IDCANCEL);
        if (c.reason) {
            ASSERT_EQ(boxes.Texts().size(), 1u);
            EXPECT_EQ(boxes.Texts()[0].rfind(c.reason, 0), 0u);
            EXPECT_EQ(records.Slot[0].AlarmFile, nullptr) << "nothing stored";
        } else {
            EXPECT_TRUE(boxes.Texts().empty());
            ASSERT_NE(records.Slot[0].AlarmFile, nullptr);
            EXPECT_EQ(std::wstring(records.Slot[0].AlarmFile), c.file);
            PortHeapFree(records.Slot[0].AlarmFile);
            records.Slot[0].AlarmFile = nullptr;
        }
    }
}

// The notification uses the option box only; its file box and button are off.
TEST_F(AlarmDialog, NotificationActionUsesTheOptionBoxOnly) {
    records.Slot[0].AlarmFlag = AlarmNotify << AlarmActionShift;
    Edit([](HWND dialog) {
        wchar_t item[32] = L"";
        SendDlgItemMessageW(dialog, IDC_ALARM_ACTION, CB_GETLBTEXT,
                            Selected(dialog, IDC_ALARM_ACTION), reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, L"通知の表示");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_ALARM_FILE)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_ALARM_BROWSE)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_ALARM_OPTION)));
        SetDlgItemTextW(dialog, IDC_ALARM_OPTION, L"%t%v%u");
    });
    const CounterSlot& slot = records.Slot[0];
    EXPECT_EQ((slot.AlarmFlag & AlarmActionMask) >> AlarmActionShift, AlarmNotify);
    ASSERT_NE(slot.AlarmOption, nullptr);
    EXPECT_STREQ(slot.AlarmOption, L"%t%v%u");
    PortHeapFree(records.Slot[0].AlarmOption);
    records.Slot[0].AlarmOption = nullptr;

    // Codes 6 and 7 name no item: none is shown, and OK stores the beep.
    for (uint32_t code : {6u, 7u}) {
        records.Slot[0].AlarmFlag = code << AlarmActionShift;
        int shown = 0;
        Edit([&](HWND dialog) { shown = Selected(dialog, IDC_ALARM_ACTION); });
        EXPECT_EQ(shown, CB_ERR) << code;
        EXPECT_EQ(records.Slot[0].AlarmFlag & AlarmActionMask, 0u) << code;
    }
}

class StylePage : public SettingsWindow {
protected:
    void SetUp() override {
        SettingsWindow::SetUp();
        records.Main.SecondGraph = 1;
        before = records;
    }
    void OnPage(int tab, std::function<void(HWND)> drive, int button = IDOK) {
        LastSettingsPage = tab;
        DriveSettingsWindow([&, drive, button](HWND frame) {
            HWND page = VisiblePageWith(frame, IDC_STYLE_ROUND);
            ASSERT_NE(page, nullptr);
            drive(page);
            Press(frame, button);
        });
        EXPECT_EQ(Run(), button == IDOK ? 1 : 2);
    }
    static bool Visible(HWND page, int id) {
        return IsWindowVisible(GetDlgItem(page, id)) != FALSE;
    }
    static UINT Colour(HWND page, int row) {
        return GetDlgItemInt(page, IDC_STYLE_COLOR1 + row - 1, nullptr, FALSE);
    }
};

TEST_F(StylePage, UnchangedPagesStoreTheStyleAsItWas) {
    for (int tab : {2, 3, 5, 6}) {
        SCOPED_TRACE(testing::Message() << "tab " << tab);
        records = before;
        OnPage(tab, [](HWND) {});
        EXPECT_EQ(std::memcmp(records.Style, before.Style, sizeof(records.Style)), 0);
    }
}

TEST_F(StylePage, GraphTwoShowsOnlyWhatItDrawsAndLosesTheSharedBitsAtOnce) {
    records.Style[1].DrawFlag |= BackLines | BackFill | FrameOn;
    records.Style[1].IconDrawFlag |= BackLines | BackFill | FrameOn | IconBackClear;
    for (int tab : {5, 6}) {
        OnPage(
            tab,
            [tab](HWND page) {
                for (int row : {5, 6, 7}) {
                    EXPECT_FALSE(Visible(page, IDC_STYLE_ROW1 + row - 1)) << row;
                    EXPECT_FALSE(Visible(page, IDC_STYLE_COLOR1 + row - 1)) << row;
                }
                for (int k = 0; k < 4; k++) {
                    EXPECT_FALSE(Visible(page, IDC_STYLE_WIDTH1 + k));
                    EXPECT_FALSE(Visible(page, IDC_STYLE_SPIN1 + k));
                    EXPECT_FALSE(Visible(page, IDC_STYLE_WIDTH_LABEL1 + k));
                }
                EXPECT_TRUE(Visible(page, IDC_STYLE_ROW1));
                if (tab == 6) {
                    EXPECT_FALSE(Visible(page, IDC_STYLE_ICON_CLEAR));
                }
            },
            IDCANCEL);
    }
    EXPECT_EQ(records.Style[1].DrawFlag & (BackLines | BackFill | FrameOn), 0u)
        << "cleared at creation, although the window was cancelled";
    EXPECT_EQ(records.Style[1].IconDrawFlag & (BackLines | BackFill | FrameOn), 0u);
}

TEST_F(StylePage, BackgroundFillIsIndeterminateAndStaysSet) {
    records.Style[0].DrawFlag &= ~BackFill;
    OnPage(
        2,
        [](HWND page) {
            EXPECT_EQ(IsDlgButtonChecked(page, IDC_STYLE_ROW1 + 5), BST_INDETERMINATE);
            SendDlgItemMessageW(page, IDC_STYLE_ROW1 + 5, BM_CLICK, 0, 0);
            EXPECT_EQ(IsDlgButtonChecked(page, IDC_STYLE_ROW1 + 5), BST_INDETERMINATE)
                << "a click does not change it";
        },
        IDCANCEL);
    EXPECT_TRUE(records.Style[0].DrawFlag & BackFill) << "set at creation for graph 1";
    OnPage(2, [](HWND page) {
        // Bars disable the filled history, which keeps and stores its mark.
        SendDlgItemMessageW(page, IDC_STYLE_BARS, BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_STYLE_ROW1 + 3)));
        // The grid lines off: their width and height boxes go grey.
        SendDlgItemMessageW(page, IDC_STYLE_ROW1 + 4, BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_STYLE_WIDTH1 + 2)));
    });
    uint32_t flag = records.Style[0].DrawFlag;
    EXPECT_EQ(flag & (BackFill | HistBars | HistFill | BackLines), BackFill | HistBars | HistFill);
}

TEST_F(StylePage, WidthsAreClampedAndRoundingIsTheItemIndex) {
    records.Style[0].IconDrawFlag |= 0x2000; // rounding up
    OnPage(2, [](HWND page) {
        SetDlgItemTextW(page, IDC_STYLE_WIDTH1, L"120");
        SetDlgItemTextW(page, IDC_STYLE_WIDTH1 + 1, L"");
        SendDlgItemMessageW(page, IDC_STYLE_ROUND, CB_SETCURSEL, 1, 0);
    });
    EXPECT_EQ(records.Style[0].LastWidth, 99);
    EXPECT_EQ(records.Style[0].FrameWidth, 0);
    EXPECT_EQ(records.Style[0].DrawFlag & 0x3000u, 0x1000u);
    OnPage(3, [](HWND page) {
        EXPECT_EQ(SendDlgItemMessageW(page, IDC_STYLE_ROUND, CB_GETCURSEL, 0, 0), 2);
        SetDlgItemTextW(page, IDC_STYLE_WIDTH1 + 2, L"20");
        SendDlgItemMessageW(page, IDC_STYLE_ROUND, CB_SETCURSEL, 1, 0);
    });
    EXPECT_EQ(records.Style[0].IconBackWidth, 16);
    EXPECT_EQ(records.Style[0].IconDrawFlag & 0x3000u, 0x1000u);
    OnPage(3, [](HWND page) { SendDlgItemMessageW(page, IDC_STYLE_ROUND, CB_SETCURSEL, 0, 0); });
    EXPECT_EQ(records.Style[0].IconDrawFlag & 0x3000u, 0u);
}

TEST_F(StylePage, IconColoursArePaletteColours) {
    OnPage(3, [](HWND page) {
        // The default icon colours: indexes 10, 10, 14, 14, 12, 0 and 8.
        const int indexes[7] = {10, 10, 14, 14, 12, 0, 8};
        for (int row = 1; row <= 7; row++)
            EXPECT_EQ(Colour(page, row), ColorPalette16[indexes[row - 1]]) << row;
        // A colour outside the palette, as a foreign hand might leave it, stores as 15.
        SetDlgItemInt(page, IDC_STYLE_COLOR1 + 2, 12345, FALSE);
    });
    EXPECT_EQ(records.Style[0].ColorFlag, (before.Style[0].ColorFlag & ~0xF00u) | 0xF00u);
    EXPECT_EQ(PaletteIndex(0x808080), 8);
    EXPECT_EQ(PaletteIndex(0x123456), -1);
}

HWND TheColourFrame;
RECT TheColourDialogRect;

void CALLBACK CloseColourDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    // The colour dialog: the thread's visible dialog window that is not the settings window.
    struct Search {
        HWND frame, found;
    } search = {TheColourFrame, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            wchar_t name[16] = L"";
            GetClassNameW(w, name, 16);
            if (w != s->frame && IsWindowVisible(w) && !lstrcmpW(name, L"#32770")) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return;
    GetWindowRect(search.found, &TheColourDialogRect);
    SendMessageW(search.found, WM_COMMAND, IDOK, 0);
}

TEST_F(AlarmDialog, OpensWithTheSettingsWindowOnTheGraphWindowsMonitor) {
    SuppliedMonitor primary = RealPrimaryMonitor();
    const int sw = primary.monitor.right;
    // A monitor right of the primary, with a taskbar along its left and top edges.
    const RECT work = {sw + 40, -60, sw + 1280, 700};
    SuppliedMonitors desk({primary, {{sw, -100, sw + 1280, 700}, work}});
    owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, sw + 900, 600, 142, 43,
                            nullptr, nullptr, nullptr, nullptr);
    RECT frame = {}, dialog = {};
    Edit(
        [&](HWND alarm) {
            GetWindowRect(GetParent(alarm), &frame);
            GetWindowRect(alarm, &dialog);
        },
        IDCANCEL);
    DestroyWindow(owner);
    // Centred on the work area, its origin included.
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    EXPECT_EQ(frame.left, work.left + (1240 - width) / 2);
    EXPECT_EQ(frame.top, work.top + (760 - height) / 2);
    EXPECT_GE(dialog.left, work.left);
    EXPECT_LE(dialog.right, work.right);
    EXPECT_GE(dialog.top, work.top);
    EXPECT_LE(dialog.bottom, work.bottom);
}

TEST_F(StylePage, ColourDialogOpensBesideTheSettingsWindow) {
    RECT frameRect = {};
    UINT before = 0, after = 0;
    TheColourDialogRect = {};
    OnPage(2, [&](HWND page) {
        TheColourFrame = GetParent(page);
        GetWindowRect(TheColourFrame, &frameRect);
        before = Colour(page, 3);
        SetTimer(nullptr, 0, 300, CloseColourDialog);
        // Without "16色から色を選択する(&U)" the button opens the colour dialog.
        SendDlgItemMessageW(page, IDC_STYLE_COLOR1 + 2, BM_CLICK, 0, 0);
        after = Colour(page, 3);
    });
    EXPECT_EQ(TheColourDialogRect.right, frameRect.right) << "right edges together";
    int height = TheColourDialogRect.bottom - TheColourDialogRect.top;
    EXPECT_EQ(TheColourDialogRect.top, (frameRect.top + frameRect.bottom - height) / 2);
    EXPECT_EQ(after, before) << "confirmed with the colour it started from";
    EXPECT_EQ(records.Style[0].ColHistPen, before);
}

TEST_F(StylePage, ColourDialogStaysOnTheSettingsWindowsMonitor) {
    SuppliedMonitor primary = RealPrimaryMonitor();
    const int sw = primary.monitor.right;
    SuppliedMonitors desk({primary, {{sw, 0, sw + 1280, 1024}, {sw, 0, sw + 1280, 1024}}});
    TheColourDialogRect = {};
    OnPage(2, [&](HWND page) {
        // Most of the settings window on the primary, its right part on the other monitor, where
        // the narrower colour dialog would lie mostly.
        TheColourFrame = GetParent(page);
        RECT r;
        GetWindowRect(TheColourFrame, &r);
        SetWindowPos(TheColourFrame, nullptr, sw - (r.right - r.left) * 3 / 5, r.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        SetTimer(nullptr, 0, 300, CloseColourDialog);
        SendDlgItemMessageW(page, IDC_STYLE_COLOR1 + 2, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(TheColourDialogRect.right, primary.work.right) << "pulled back onto the primary";
    EXPECT_GE(TheColourDialogRect.left, primary.work.left);
}

TEST(ColorMenu, SixteenColoursInTwoColumns) {
    HMENU menu = BuildColorMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 16);
    for (int i = 0; i < 16; i++) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &item));
        EXPECT_TRUE(item.fType & MFT_OWNERDRAW);
        EXPECT_EQ((item.fType & MFT_MENUBREAK) != 0, i == 8) << i;
        EXPECT_EQ(item.dwItemData, ColorPalette16[i]);
    }
    DestroyMenu(menu);
}

TEST(DialogHelpers, CombosEditsAndVersionTexts) {
    HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 50, 100,
                                 dialog, reinterpret_cast<HMENU>(10), nullptr, nullptr);
    EXPECT_EQ(FillComboFromString(combo, GetModuleHandleW(nullptr), IDS_UNIT_MODES), 8);
    wchar_t item[16];
    SendMessageW(combo, CB_GETLBTEXT, 4, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"bit 自動");
    EXPECT_EQ(FillComboFromString(combo, GetModuleHandleW(nullptr), 9999), 0);

    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, dialog,
                                reinterpret_cast<HMENU>(11), nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetDlgItemInt64(dialog, 11), 0) << "empty";
    EXPECT_EQ(SetDlgItemInt64(dialog, 11, -9000000000LL), 11);
    wchar_t text[32];
    GetDlgItemTextW(dialog, 11, text, 32);
    EXPECT_STREQ(text, L"-9000000000");
    EXPECT_EQ(GetDlgItemInt64(dialog, 11), -9000000000LL);
    DestroyWindow(dialog);

    wchar_t caption[32];
    int n = GetVersionText(nullptr, caption, 32, L"", nullptr, nullptr);
    EXPECT_STREQ(caption, L"Ferrogauge0.1.0");
    EXPECT_EQ(n, 15);
    wchar_t about[128];
    GetVersionText(nullptr, about, 128, L" Version ", L"\r\n", nullptr);
    EXPECT_STREQ(about,
                 L"Ferrogauge Version 0.1.0\r\nCopyright (C) 2026 The Ferrogauge developers");
    wchar_t small[8];
    GetVersionText(nullptr, small, 8, L" Version ", nullptr, nullptr);
    EXPECT_STREQ(small, L" Versio") << "a name too long is left out, what follows is cut";
    EXPECT_GE(GetVersionText(nullptr, nullptr, 0, L" Version ", L"\r\n", nullptr),
              static_cast<int>(wcslen(about)))
        << "the size query";
}

// The settings command of the running window, with a scripted counter library.
class SettingsCommand : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterGraphClass(GetModuleHandleW(nullptr)); }
    void SetUp() override {
        script = ResetScript();
        script->paths = {FixedPath(L"\\Processor(_Total)\\% Processor Time", 30),
                         FixedPath(L"\\Memory\\% Committed Bytes In Use", 40),
                         FixedPath(L"\\Other", 50)};
        TheApp.Pdh = ScriptedLibrary();
        window = CreateGraphWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
        TheApp.Settings.Slot[1].PdhFlag |= PdhUse;
        PumpMessagesFor(50);
        for (int i = 0; i < 3; i++)
            SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0);
        ASSERT_EQ(TheApp.Run[0].RingIndex, 3);
        ASSERT_EQ(TheApp.Run[1].RingIndex, 3);
        LastSettingsPage = -1;
    }
    void TearDown() override {
        HoldKeys(false, false);
        if (IsWindow(window))
            DestroyWindow(window);
        PumpMessages();
        TheApp.Pdh = nullptr;
    }
    // Opens the settings window with the command, lets edit change the records as the pages
    // not built yet would (the main page stores its own controls at OK), and presses OK.
    void Confirm(std::function<void(HWND)> edit, bool shift = false) {
        DriveSettingsWindow([&, edit, shift](HWND frame) {
            EXPECT_TRUE(TheApp.RunFlag & SettingsOpen);
            EXPECT_FALSE(IsWindowEnabled(window)) << "the graph window waits";
            // A second settings command while the window is open is ignored.
            SendMessageW(window, WM_COMMAND, IDM_SETTINGS, 0);
            edit(frame);
            HoldKeys(shift, false);
            Press(frame, IDOK);
        });
        SendMessageW(window, WM_COMMAND, IDM_SETTINGS, 0);
        HoldKeys(false, false);
        EXPECT_FALSE(TheApp.RunFlag & SettingsOpen);
        EXPECT_TRUE(TheApp.RunFlag & HotKey) << "the hot key is back";
        EXPECT_TRUE(IsWindowEnabled(window));
    }
    ScriptedCounters* script = nullptr;
    HWND window = nullptr;
};

TEST_F(SettingsCommand, CounterChangesReAddOrResetBothGraphsAndOtherEditsKeepThem) {
    Confirm([](HWND) {});
    EXPECT_EQ(TheApp.Run[0].RingIndex, 3) << "nothing changed: the histories stay";
    EXPECT_EQ(TheApp.Run[1].RingIndex, 3);

    Confirm([](HWND) {
        TheApp.Settings.Slot[1].ValMax = 50;
        TheApp.Settings.Slot[1].ChangeMask = 4;
    });
    EXPECT_EQ(TheApp.Run[0].RingIndex, 0) << "a maximum changed: both graphs start again";
    EXPECT_EQ(TheApp.Run[1].RingIndex, 0);
    EXPECT_EQ(script->added.size(), 2u) << "but keep their counters";

    Confirm([](HWND) {
        lstrcpyW(TheApp.Settings.Slot[0].Path, L"\\Other");
        TheApp.Settings.Slot[0].ChangeMask = 2;
    });
    EXPECT_EQ(script->removes, 2) << "a path changed: both counters are added again";
    ASSERT_EQ(script->added.size(), 4u);
    EXPECT_EQ(script->added[2], L"\\Other");
    EXPECT_EQ(script->added[3], L"\\Memory\\% Committed Bytes In Use");
    SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0);
    EXPECT_EQ(TheApp.Run[0].Latest, 50);
}

// Sampling stopped from the menu, then OK: the graphs run again with their counters instead of
// standing still on a query without any.
TEST_F(SettingsCommand, OkAfterSamplingWasStoppedStartsItWithItsCounters) {
    SendMessageW(window, WM_COMMAND, IDM_START, 0);
    ASSERT_EQ(TheApp.Query, nullptr);
    ASSERT_EQ(script->added.size(), 2u);
    Confirm([](HWND) {});
    ASSERT_NE(TheApp.Query, nullptr);
    EXPECT_EQ(script->added.size(), 4u) << "both counters are in the new query";
    ASSERT_NE(TheApp.Run[0].Counter, nullptr);
    ASSERT_NE(TheApp.Run[1].Counter, nullptr);
    SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0);
    EXPECT_EQ(TheApp.Run[0].Latest, 30);
    EXPECT_EQ(TheApp.Run[1].Latest, 40);
    EXPECT_EQ(TheApp.Run[0].RingIndex, 1) << "sampled into a history begun anew";
}

TEST_F(SettingsCommand, FailingQueryOpenStillRestoresTheHotKey) {
    SendMessageW(window, WM_COMMAND, IDM_START, 0); // sampling stops: the query is closed
    ASSERT_EQ(TheApp.Query, nullptr);
    script->openStatus = static_cast<PDH_STATUS>(PDH_INVALID_ARGUMENT);
    MessageBoxAnswerer answerer;
    Confirm([](HWND) {});
    PumpMessagesFor(300);
    ASSERT_EQ(answerer.Texts().size(), 1u);
    EXPECT_EQ(answerer.Texts()[0], L"PdhOpenQuery() Error");
}

// Windows passes clicks through see-through pixels as through a click-through window: both end.
TEST_F(SettingsCommand, NoTrayIconShowsTheWindowAndEndsClickThroughAndSeeThrough) {
    SendMessageW(window, WM_COMMAND, IDM_CLICKTHROUGH, 0);
    SendMessageW(window, WM_COMMAND, IDM_CLEARBACK, 0);
    ASSERT_TRUE(TheApp.RunFlag & LayColorKey);
    SendMessageW(window, WM_COMMAND, IDM_SHOWGRAPH, 0); // hidden
    ASSERT_FALSE(IsWindowVisible(window));
    // The main page stores Prop at OK: its check box is clicked, as a person would.
    Confirm([](HWND frame) {
        HWND page = CurrentPage(frame);
        ASSERT_NE(page, nullptr);
        SendDlgItemMessageW(page, IDC_MAIN_NO_TRAY, BM_CLICK, 0, 0);
    });
    EXPECT_FALSE(TheApp.RunFlag & TrayIcon);
    EXPECT_EQ(TheApp.TrayImage, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(TheApp.Settings.Main.Prop & PropClickThrough);
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_FALSE(TheApp.Settings.Main.Prop & PropClearBack);
    EXPECT_FALSE(TheApp.RunFlag & LayColorKey);
}

TEST_F(SettingsCommand, ShiftWhileConfirmingAppliesWithoutSaving) {
    wchar_t ini[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, ini, MAX_PATH);
    lstrcpyW(ini + n - 3, L"ini");
    ForgetSettingsFile();
    Confirm([](HWND) {}, true);
    EXPECT_EQ(GetFileAttributesW(ini), INVALID_FILE_ATTRIBUTES) << "nothing was saved";
    Confirm([](HWND) {});
    EXPECT_NE(GetFileAttributesW(ini), INVALID_FILE_ATTRIBUTES) << "without Shift it is";
}

} // namespace
