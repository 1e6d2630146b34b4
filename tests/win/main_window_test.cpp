// The graph window's procedure driven with real messages: creation, commands, hot key, size
// limits, surface and exit.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "app/main_window.h"
#include "app/startup.h"
#include "app/window_actions.h"
#include "res/resource.h"
#include "scripted_counters.h"
#include "supplied_monitors.h"
#include "test_support.h"
#include "ui/hot_key.h"
#include "window/tray.h"

namespace {

// The colour of the surface's pixel (x, y), y counted from the top.
uint32_t SurfacePixel(int x, int y) {
    DIBSECTION dib = {};
    if (!TheApp.Surface || GetObjectW(TheApp.Surface, sizeof(dib), &dib) != sizeof(dib))
        return 0xDEADBEEF;
    const uint32_t* pixels = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    return pixels[(dib.dsBm.bmHeight - 1 - y) * dib.dsBm.bmWidth + x] & 0xFFFFFF;
}

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        window = OpenGraphWindowWithFixedCounters();
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override {
        CloseGraphWindow(window);
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    }

    void Command(UINT id) {
        SendMessageW(window, WM_COMMAND, id, 0);
        PumpMessages();
    }

    LONG ExStyle() const { return GetWindowLongW(window, GWL_EXSTYLE); }

    HWND window = nullptr;
};

TEST_F(MainWindow, CreationWithDefaultsShowsATopmostToolWindow) {
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_BORDER),
              static_cast<LONG>(WS_POPUP));
    EXPECT_TRUE(ExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(TheApp.RunFlag & (Shown | Topmost), Shown | Topmost);
    EXPECT_EQ(TheApp.Settings.Main.Prop, 0x603u) << "the settings as they were loaded";
    EXPECT_NE(TheApp.LayeredCaps & 0x1, 0u) << "the layered-window functions were found";
    EXPECT_EQ(ExStyle() & (WS_EX_LAYERED | WS_EX_TRANSPARENT), 0) << "no effect is on";
    EXPECT_NE(TheApp.Query, nullptr) << "the posted start command opened the query";

    RECT r, work;
    GetWindowRect(window, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(r.right - r.left, 142);
    EXPECT_EQ(r.bottom - r.top, 43);
    APPBARDATA bar = {};
    bar.cbSize = sizeof(bar);
    UINT edge = SHAppBarMessage(ABM_GETTASKBARPOS, &bar) ? bar.uEdge : ABE_LEFT;
    if (edge == ABE_TOP)
        EXPECT_EQ(r.top, work.top);
    else
        EXPECT_EQ(r.bottom, work.bottom);
    if (edge == ABE_LEFT)
        EXPECT_EQ(r.left, work.left);
    else
        EXPECT_EQ(r.right, work.right);
}

TEST_F(MainWindow, ShowGraphHidesAndShowsTheWindow) {
    Command(IDM_SHOWGRAPH);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(TheApp.Settings.Main.Prop & PropShown, 0u);
    EXPECT_EQ(TheApp.RunFlag & Shown, 0u);

    Command(IDM_SHOWGRAPH);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(TheApp.Settings.Main.Prop & PropShown, PropShown);
    EXPECT_EQ(TheApp.RunFlag & Shown, Shown);
    EXPECT_TRUE(ExStyle() & WS_EX_TOPMOST) << "showing keeps the window on top";
}

// Whether below comes after above in the z-order of the top-level windows.
bool IsBelow(HWND below, HWND above) {
    for (HWND w = GetWindow(above, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == below)
            return true;
    }
    return false;
}

// A topmost window that came up while the graph was hidden (another monitor tool, say) does not
// cover it when it is shown again, by the command or by the tray peek.
TEST_F(MainWindow, ShowingPutsTheTopmostWindowAboveOtherTopmostWindows) {
    Command(IDM_SHOWGRAPH);
    ASSERT_FALSE(IsWindowVisible(window));
    HWND other = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0,
                                 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    struct Destroyer {
        HWND window;
        ~Destroyer() { DestroyWindow(window); }
    } destroyer = {other};
    ShowWindow(other, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(IsBelow(window, other));
    Command(IDM_SHOWGRAPH);
    EXPECT_TRUE(IsBelow(other, window)) << "the show command";

    Command(IDM_SHOWGRAPH);
    SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ASSERT_TRUE(IsBelow(window, other));
    POINT cursor = {};
    GetCursorPos(&cursor);
    TheApp.PeekPoint = cursor; // the pointer rests on the icon
    SendMessageW(window, WM_TIMER, TIMER_TRAYPEEK, 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(IsBelow(other, window)) << "the tray peek";
    KillTimer(window, TIMER_TRAYPEEK);
}

TEST_F(MainWindow, TopmostTogglesTheExtendedStyle) {
    Command(IDM_TOPMOST);
    EXPECT_FALSE(ExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(TheApp.Settings.Main.Prop & PropTopmost, 0u);
    EXPECT_EQ(TheApp.RunFlag & Topmost, 0u);

    Command(IDM_TOPMOST);
    EXPECT_TRUE(ExStyle() & WS_EX_TOPMOST);
    EXPECT_EQ(TheApp.Settings.Main.Prop & PropTopmost, PropTopmost);
}

TEST_F(MainWindow, PriorityCommandsSetThePriorityAndTheProcessClass) {
    struct {
        UINT command;
        int32_t priority;
        DWORD priorityClass;
    } cases[] = {
        {IDM_PRIO_HIGH, 2, HIGH_PRIORITY_CLASS},
        {IDM_PRIO_ABOVE, 1, ABOVE_NORMAL_PRIORITY_CLASS},
        {IDM_PRIO_BELOW, -1, BELOW_NORMAL_PRIORITY_CLASS},
        {IDM_PRIO_IDLE, -2, IDLE_PRIORITY_CLASS},
        {IDM_PRIO_NORMAL, 0, NORMAL_PRIORITY_CLASS},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        Command(c.command);
        EXPECT_EQ(TheApp.Settings.Main.Priority, c.priority);
        EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), c.priorityClass);
    }
    // Real time needs a right the user may lack; the value is kept either way.
    Command(IDM_PRIO_REALTIME);
    EXPECT_EQ(TheApp.Settings.Main.Priority, 3);
    DWORD now = GetPriorityClass(GetCurrentProcess());
    EXPECT_TRUE(now == REALTIME_PRIORITY_CLASS || now == HIGH_PRIORITY_CLASS) << now;
}

TEST(PriorityAtStart, FollowsTheValueAndTheSystemVersion) {
    EXPECT_EQ(PriorityClassAtStart(3, 10), static_cast<DWORD>(REALTIME_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassAtStart(2, 10), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassAtStart(1, 10), static_cast<DWORD>(ABOVE_NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassAtStart(1, 4), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassAtStart(-1, 10), static_cast<DWORD>(BELOW_NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassAtStart(-1, 4), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassAtStart(-2, 10), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassAtStart(0, 10), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassAtStart(7, 10), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

TEST_F(MainWindow, HotKeyOneTogglesTheWindow) {
    SendMessageW(window, WM_HOTKEY, 2, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(window)) << "other hot-key ids are ignored";

    SendMessageW(window, WM_HOTKEY, 1, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(window));
    SendMessageW(window, WM_HOTKEY, 1, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(window));
}

// A hot key held down auto-repeats; registered without repeats it flips the window once. Wine
// sends WM_HOTKEY for every repeat whatever the flag (a key pressed twice through SendInput
// flips the window twice either way), so the registration's modifiers are checked here.
TEST_F(MainWindow, HotKeysAreRegisteredWithoutRepeats) {
    EXPECT_EQ(HotKeyModifiers(0x0678), static_cast<UINT>(MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT));
    EXPECT_EQ(HotKeyModifiers(VK_F9), static_cast<UINT>(MOD_NOREPEAT));
    TheApp.Settings.Main.HkShow = VK_F9;
    RegisterShowHotKey(&TheApp, window);
    EXPECT_TRUE(TheApp.RunFlag & HotKey);
    UnregisterHotKey(window, HotKeyId);
}

TEST_F(MainWindow, SizeLimitsAre16To250By150) {
    MINMAXINFO info = {};
    EXPECT_EQ(SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.x, 16);
    EXPECT_EQ(info.ptMinTrackSize.y, 16);
    EXPECT_EQ(info.ptMaxTrackSize.x, 250);
    EXPECT_EQ(info.ptMaxTrackSize.y, 150);
    EXPECT_EQ(info.ptMaxSize.x, 250);
    EXPECT_EQ(info.ptMaxSize.y, 150);
}

TEST_F(MainWindow, SizeMakesASurfaceAsLargeAsTheWindowAndPaintsIt) {
    SetWindowPos(window, nullptr, 0, 0, 100, 60, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_NE(TheApp.Surface, nullptr);
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectW(TheApp.Surface, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmWidth, 100);
    EXPECT_EQ(dib.dsBm.bmHeight, 60);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    // Painted at once: the frame around the picture, the background inside.
    const uint32_t* pixels = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(pixels[100 * 60 - 1] & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(pixels[100 * 30 + 55] & 0xFFFFFF, 0u);
}

TEST_F(MainWindow, RedrawsRenewTheTrayPictureWithoutLeaking) {
    ASSERT_TRUE(TheApp.RunFlag & TrayIcon);
    SendMessageW(window, RedrawMsg, 0, 0);
    unsigned long before = LiveGdiObjects();
    for (int i = 0; i < 200; i++)
        SendMessageW(window, RedrawMsg, 0, 0);
    EXPECT_EQ(LiveGdiObjects(), before) << "each new picture replaced the old one";
    EXPECT_NE(TheApp.TrayImage, nullptr);
    EXPECT_TRUE(TheApp.RunFlag & TrayIcon) << "the icon was modified in place";
}

TEST_F(MainWindow, AnUnchangedTrayPictureIsNotSentAgain) {
    SendMessageW(window, RedrawMsg, 0, 0);
    HICON shown = TheApp.TrayImage;
    ASSERT_NE(shown, nullptr);
    SendMessageW(window, RedrawMsg, 0, 0);
    EXPECT_EQ(TheApp.TrayImage, shown) << "nothing moved: the icon in the tray stays";
    SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0); // a sample moves the grid
    PumpMessages();
    EXPECT_NE(TheApp.TrayImage, shown) << "a new picture replaces it";
    EXPECT_TRUE(TheApp.RunFlag & TrayIcon);
}

// The hover fade sets its own alpha; when the mouse has gone, the window gets back every
// effect it had, the see-through background included.
TEST_F(MainWindow, AHoverFadeGivesBackTheSeeThroughBackground) {
    TheApp.Settings.Main.Prop |= PropHoverOn;
    Command(IDM_CLEARBACK);
    ASSERT_TRUE(TheApp.RunFlag & LayColorKey);
    // The mouse is wherever it is: the window goes elsewhere, so the watch finds it gone.
    POINT cursor;
    GetCursorPos(&cursor);
    int x = cursor.x > 400 ? 0 : 600;
    SetWindowPos(window, nullptr, x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    SendMessageW(window, WM_NCMOUSEMOVE, HTCLIENT, 0);
    ASSERT_TRUE(TheApp.RunFlag & HoverActive);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA | LWA_COLORKEY)) << "faded";

    SendMessageW(window, WM_TIMER, TIMER_HOVER, 0);
    EXPECT_FALSE(TheApp.RunFlag & HoverActive);
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY)) << "the background is see-through again";
    EXPECT_EQ(key, TheApp.Settings.Main.ColWndLay);
}

// With click-through and the hover fade, clicks fall through only while the mouse is over the
// window: at every hover, not only the first.
TEST_F(MainWindow, ClickThroughLastsOnlyAsLongAsEachHover) {
    TheApp.Settings.Main.Prop |= PropHoverOn;
    Command(IDM_CLICKTHROUGH);
    ASSERT_TRUE(TheApp.Settings.Main.Prop & PropClickThrough);
    auto through = [&] { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0; };
    EXPECT_FALSE(through()) << "clickable until the mouse comes";
    POINT cursor;
    GetCursorPos(&cursor);
    int x = cursor.x > 400 ? 0 : 600;
    SetWindowPos(window, nullptr, x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int hover = 1; hover <= 3; hover++) {
        SCOPED_TRACE(hover);
        SendMessageW(window, WM_NCMOUSEMOVE, HTCLIENT, 0);
        ASSERT_TRUE(TheApp.RunFlag & HoverActive);
        EXPECT_TRUE(through()) << "under the mouse";
        SendMessageW(window, WM_TIMER, TIMER_HOVER, 0);
        ASSERT_FALSE(TheApp.RunFlag & HoverActive);
        EXPECT_FALSE(through()) << "the mouse has gone";
    }
}

TEST_F(MainWindow, WholeWindowIsClientArea) {
    RECT window_rect, client;
    GetWindowRect(window, &window_rect);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, window_rect.right - window_rect.left);
    EXPECT_EQ(client.bottom, window_rect.bottom - window_rect.top);
}

// A restarted taskbar has lost the icon: it comes back at once, even with sampling stopped
// (as after a counter error), when no sample would ask for a redraw.
TEST_F(MainWindow, TaskbarRestartPutsTheTrayIconBackWithoutASample) {
    KillTimer(window, TIMER_SAMPLE);
    TheApp.PeekPoint = {5, 6};
    SendMessageW(window, TheApp.TaskbarCreatedMsg, 0, 0);
    EXPECT_EQ(TheApp.RunFlag & TrayIcon, 0u) << "forgotten until the shell has it again";
    EXPECT_EQ(TheApp.PeekPoint.x, 65536);
    EXPECT_EQ(TheApp.PeekPoint.y, 65536);
    PumpMessages();
    EXPECT_TRUE(TheApp.RunFlag & TrayIcon) << "put back by the redraw the handler asked for";
}

TEST_F(MainWindow, ExitEndsTheMessageLoopWithZero) {
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TheApp.Query, nullptr) << "destruction closed the query";
    EXPECT_EQ(TheApp.Surface, nullptr);
    EXPECT_EQ(TheApp.TrayImage, nullptr);
}

} // namespace

namespace {

// A start with a saved place, or none: the window shows a painted picture from its first
// moment, the tray icon goes in once, and nothing of it is left after the window goes.
// Saved without a tray icon, hidden, click-through and see-through: the window starts where a
// person can reach it.
TEST(MainWindowStart, WithoutATrayIconStartsShownAndClickable) {
    RegisterGraphClass(GetModuleHandleW(nullptr));
    ForgetSettingsFile();
    WriteSettingsBesideTests("[MAIN]\r\nProp=354\r\n"); // 0x100 | 0x40 | 0x20 | 0x2
    UseFixedCounters();
    HWND window = CreateGraphWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(TheApp.Settings.Main.Prop & (PropClickThrough | PropClearBack));
    EXPECT_FALSE(TheApp.RunFlag & (LayClickThrough | LayColorKey | TrayIcon));
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    DestroyWindow(window);
    PumpMessages();
    TheApp.Pdh = nullptr;
    ForgetSettingsFile();
}

TEST(MainWindowStart, ShowsAPaintedPictureAndLeavesNoIconBehind) {
    RegisterGraphClass(GetModuleHandleW(nullptr));
    struct Case {
        const char* what;
        const char* settings; // null: no file
        int width, height;
    };
    const Case cases[] = {
        {"no file", nullptr, 142, 43},
        {"the default size",
         "[MAIN]\r\nWndPosX=30\r\nWndPosY=40\r\nWndWidth=142\r\n"
         "WndHeight=43\r\n",
         142, 43},
        {"a size of its own",
         "[MAIN]\r\nWndPosX=30\r\nWndPosY=40\r\nWndWidth=100\r\n"
         "WndHeight=60\r\n",
         100, 60},
    };
    unsigned long before = 0;
    for (int round = 0; round < 2; round++) {
        // The first round makes what the process keeps for good (classes, stock objects).
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            ForgetSettingsFile();
            if (c.settings)
                WriteSettingsBesideTests(c.settings);
            UseFixedCounters();
            if (round == 1 && before == 0)
                before = LiveGdiObjects();
            HWND window = CreateGraphWindow(GetModuleHandleW(nullptr));
            ASSERT_NE(window, nullptr);
            // Before any message is handled: shown, at its size, with the frame and "---".
            EXPECT_TRUE(IsWindowVisible(window));
            RECT r;
            GetWindowRect(window, &r);
            EXPECT_EQ(r.right - r.left, c.width);
            EXPECT_EQ(r.bottom - r.top, c.height);
            EXPECT_EQ(SurfacePixel(0, 0), 0x808080u) << "the frame";
            EXPECT_EQ(SurfacePixel(c.width - 1, c.height - 1), 0x808080u);
            EXPECT_TRUE(TheApp.RunFlag & TrayIcon);
            PumpMessages();
            DestroyWindow(window);
            PumpMessages();
            TheApp.Pdh = nullptr;
        }
    }
    EXPECT_EQ(LiveGdiObjects(), before) << "every icon and picture was released";
}

// A taskbar that is not up yet, as at sign-in, where the program may start before the shell:
// it refuses every call (Shell_NotifyIconW answers FALSE without a notification area) until it
// comes up, then keeps the icon as the shell does.
struct LateTaskbar {
    static bool up;
    static bool added;
    static int refusedAdds;
    static HWND window;
    static HICON icon;
    static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAW data) {
        if (!up) {
            refusedAdds += message == NIM_ADD;
            return FALSE;
        }
        if (message == NIM_ADD) {
            if (added)
                return FALSE;
            added = true;
            window = data->hWnd;
            icon = (data->uFlags & NIF_ICON) ? data->hIcon : nullptr;
            return TRUE;
        }
        if (message == NIM_DELETE) {
            bool was = added;
            added = false;
            return was;
        }
        return added;
    }
};
bool LateTaskbar::up = false;
bool LateTaskbar::added = false;
int LateTaskbar::refusedAdds = 0;
HWND LateTaskbar::window = nullptr;
HICON LateTaskbar::icon = nullptr;

// The icon appears as soon as the notification area is there, without the user doing anything:
// when the shell tells every window that the taskbar was created, and, should that word not
// come, at the next sample.
TEST(MainWindowStart, TheIconAppearsOnceTheTaskbarComesUpAfterTheProgram) {
    RegisterGraphClass(GetModuleHandleW(nullptr));
    for (bool announced : {true, false}) {
        SCOPED_TRACE(announced ? "announced" : "at the next sample");
        ForgetSettingsFile();
        LateTaskbar::up = LateTaskbar::added = false;
        LateTaskbar::refusedAdds = 0;
        UseShellNotify(LateTaskbar::Notify);
        UseFixedCounters();
        HWND window = CreateGraphWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
        PumpMessages();
        EXPECT_GE(LateTaskbar::refusedAdds, 1) << "the first NIM_ADD was refused";
        EXPECT_FALSE(TheApp.RunFlag & TrayIcon);
        LateTaskbar::up = true;
        if (announced) {
            KillTimer(window, TIMER_SAMPLE); // no sample to help
            SendMessageW(window, TheApp.TaskbarCreatedMsg, 0, 0);
        } else {
            SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0);
        }
        PumpMessages();
        EXPECT_TRUE(LateTaskbar::added);
        EXPECT_TRUE(TheApp.RunFlag & TrayIcon);
        EXPECT_EQ(LateTaskbar::window, window);
        EXPECT_NE(LateTaskbar::icon, nullptr) << "with its picture";
        DestroyWindow(window);
        PumpMessages();
        EXPECT_FALSE(LateTaskbar::added) << "taken out at the exit";
        UseShellNotify(nullptr);
        TheApp.Pdh = nullptr;
    }
    ForgetSettingsFile();
}

// At sign-in the taskbar takes its strip of the screen after the program has placed its
// window. A window still where the start put it is put again by the new work area; one the
// user has moved since stays where they put it.
TEST(MainWindowStart, AWindowAtItsStartPlaceFollowsTheWorkAreaTheTaskbarTakes) {
    RegisterGraphClass(GetModuleHandleW(nullptr));
    SuppliedMonitor screen = RealPrimaryMonitor();
    SuppliedMonitor bare = screen;
    bare.work = bare.monitor; // no taskbar yet
    int strip = screen.monitor.bottom - screen.work.bottom;
    ASSERT_GT(strip, 0) << "the desktop has a taskbar at the bottom";
    struct Case {
        const char* what;
        int fromBottom; // where the saved window's top is; 0: no settings file
        bool follows;
    };
    const Case cases[] = {
        {"no settings file: the corner by the tray", 0, true},
        // A saved window the taskbar would leave less than 16 pixels of is pulled up, as at a
        // start with the taskbar there.
        {"a saved place the taskbar would all but cover", strip + 10, true},
        // One it covers partly stays: the user may have put it there.
        {"a saved place the taskbar covers partly", 43, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SuppliedMonitors monitors({bare});
        ForgetSettingsFile();
        char text[160];
        sprintf(text, "[MAIN]\r\nWndPosX=%ld\r\nWndPosY=%ld\r\nWndWidth=142\r\nWndHeight=43\r\n",
                bare.monitor.right - 142, bare.monitor.bottom - c.fromBottom);
        if (c.fromBottom)
            WriteSettingsBesideTests(text);
        UseFixedCounters();
        HWND window = CreateGraphWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
        RECT start;
        GetWindowRect(window, &start);
        if (!c.fromBottom) {
            EXPECT_EQ(start.bottom, bare.work.bottom) << "in the corner of the whole screen";
        }
        monitors.Replace({screen});
        SendMessageW(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
        RECT r;
        GetWindowRect(window, &r);
        if (c.follows) {
            EXPECT_EQ(r.bottom, screen.work.bottom) << "above the taskbar";
            EXPECT_EQ(r.right, screen.work.right);
        } else {
            EXPECT_TRUE(EqualRect(&r, &start));
        }
        // Moved by the user: a later change leaves it.
        SetWindowPos(window, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        monitors.Replace({bare});
        SendMessageW(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
        GetWindowRect(window, &r);
        EXPECT_EQ(r.left, 100);
        EXPECT_EQ(r.top, 100);
        DestroyWindow(window);
        PumpMessages();
        TheApp.Pdh = nullptr;
    }
    ForgetSettingsFile();
}

// A hot key another program holds is no longer refused silently: the user is told once, with
// the combination, and the window starts without it.
TEST(MainWindowStart, AHotKeyHeldElsewhereIsReportedOnceAtStart) {
    RegisterGraphClass(GetModuleHandleW(nullptr));
    ForgetSettingsFile();
    WriteSettingsBesideTests("[MAIN]\r\nHkShow=0x678\r\n"); // Ctrl+Shift+F9
    HWND holder = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(holder, 7, MOD_CONTROL | MOD_SHIFT, VK_F9));
    MessageBoxAnswerer answerer;
    UseFixedCounters();
    HWND window = CreateGraphWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(TheApp.RunFlag & HotKey);
    for (int i = 0; i < 500 && answerer.Texts().empty(); i++) {
        PumpMessages();
        Sleep(10);
    }
    PumpMessages(); // a second report would come from the same queue
    std::vector<std::wstring> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(L"Ctrl+Shift+F9"), std::wstring::npos) << texts[0];
    DestroyWindow(window);
    PumpMessages();
    UnregisterHotKey(holder, 7);
    DestroyWindow(holder);
    TheApp.Pdh = nullptr;
    ForgetSettingsFile();
}

} // namespace
