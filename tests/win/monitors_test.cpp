// The graph window on a desk of three monitors that the test supplies: the primary one, a
// shorter one to its right standing higher with a taskbar of its own along its right edge, and
// one to its left at negative x.
// Moves snap to the edges of the monitor under the window, and a window that no monitor shows
// is brought to the nearest one, at start-up, on a display change and on request.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "app/main_window.h"
#include "res/resource.h"
#include "supplied_monitors.h"
#include "test_support.h"
#include "ui/dialog_helpers.h"
#include "window/dpi.h"
#include "window/placement.h"

namespace {

class Monitors : public testing::Test {
protected:
    void SetUp() override {
        ForgetSettingsFile();
        const int sw = primary.monitor.right;
        right = {{sw, -100, sw + 1280, 500}, {sw, -100, sw + 1240, 500}};
        left = {{-1600, 200, 0, 1100}, {-1600, 200, 0, 1100}};
    }
    void TearDown() override {
        CloseGraphWindow(window);
        ForgetSettingsFile();
    }
    void Open() {
        window = OpenGraphWindowWithFixedCounters();
        ASSERT_NE(window, nullptr);
    }
    // A drag of the window's body to (x, y), as the system's move loop sends it.
    POINT Drag(int x, int y) {
        SendMessageW(window, WM_ENTERSIZEMOVE, 0, 0);
        SendMessageW(window, WM_MOVING, 0, 0);
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
        return Place();
    }
    POINT Place() const { return Place(window); }
    static POINT Place(HWND w) {
        RECT r = {};
        GetWindowRect(w, &r);
        return {r.left, r.top};
    }
    SuppliedMonitor primary = RealPrimaryMonitor();
    SuppliedMonitor right{}, left{};
    HWND window = nullptr;
};

testing::AssertionResult At(POINT p, int x, int y) {
    if (p.x == x && p.y == y)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "at " << p.x << "," << p.y << " instead of " << x << "," << y;
}

TEST_F(Monitors, MovesSnapToTheEdgesOfTheMonitorUnderTheWindow) {
    SuppliedMonitors desk({primary, right, left});
    Open();
    const int sw = primary.monitor.right;
    const int pr = primary.work.right;
    // Across the boundary to the right: mostly on the right monitor, then mostly on the primary.
    EXPECT_TRUE(At(Drag(sw - 5, 300), sw, 300));
    EXPECT_TRUE(At(Drag(pr - 137, 300), pr - 142, 300));
    // The right monitor's own work-area edges, beside its taskbar and far from the primary's.
    EXPECT_TRUE(At(Drag(sw + 1240 - 142 - 7, 500 - 43 - 3), sw + 1240 - 142, 500 - 43));
    EXPECT_TRUE(At(Drag(sw + 1240 - 142 + 8, 300), sw + 1240 - 142, 300))
        << "not under the taskbar";
    EXPECT_TRUE(At(Drag(sw + 600, -100 + 9), sw + 600, -100));
    // The left monitor at negative x: its left and top edges, and its right edge by the
    // primary's left edge.
    EXPECT_TRUE(At(Drag(-1600 + 8, 200 + 4), -1600, 200));
    EXPECT_TRUE(At(Drag(-137, 700), -142, 700));
    // Grid fitting on a sizing drag is no matter of monitors, and Shift still moves freely.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    POINT free = Drag(sw + 1240 - 142 - 7, 300);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(At(free, sw + 1240 - 142 - 7, 300));
}

TEST_F(Monitors, AWindowNoMonitorShowsComesToTheNearestWorkArea) {
    SuppliedMonitors desk({primary, right, left});
    Open();
    const int sw = primary.monitor.right;
    const RECT& work = primary.work;
    // Beyond the right monitor's right edge: back into its work area, not onto the primary.
    SetWindowPos(window, nullptr, sw + 1300, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(BringOnScreen(window, true, 96), 1);
    EXPECT_TRUE(At(Place(), sw + 1240 - 142, 50));
    // Under its taskbar, 40 pixels showing on the monitor but none in its work area.
    SetWindowPos(window, nullptr, sw + 1240, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_TRUE(At(Place(), sw + 1240 - 142, 50));

    // The right monitor is unplugged while the window is on it.
    SetWindowPos(window, nullptr, sw + 300, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    desk.Replace({primary, left});
    SendMessageW(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(sw, primary.monitor.bottom));
    EXPECT_TRUE(At(Place(), work.right - 142, 100));

    // A display change leaves a window that shows a 16 x 16 square where it is, and pulls in
    // one that shows only a sliver of 15 pixels.
    SetWindowPos(window, nullptr, work.right - 16, work.bottom - 16, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_TRUE(At(Place(), work.right - 16, work.bottom - 16));
    SetWindowPos(window, nullptr, -1600 - 127, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_TRUE(At(Place(), -1600, 600));
}

// A window of no size, or one over the whole desktop, is brought back at a size the mouse could
// give it, by a display change and by the show command with Shift alike.
TEST_F(Monitors, TheRescueGivesBackAUsableSize) {
    SuppliedMonitors desk({primary, right, left});
    Open();
    auto size = [&] {
        RECT r = {};
        GetWindowRect(window, &r);
        return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
    };
    SetWindowPos(window, nullptr, 300, 300, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_TRUE(At(Place(), 300, 300));
    EXPECT_EQ(size(), "16x16");

    SetWindowPos(window, nullptr, -100, -100, 5000, 4000, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_EQ(size(), "250x150");

    SetWindowPos(window, nullptr, -100, -100, 5000, 4000, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(BringOnScreen(window, true, 96), 1);
    EXPECT_TRUE(At(Place(), primary.work.left, primary.work.top));
    EXPECT_EQ(size(), "250x150");

    // The ends of the range are usable: a display change leaves them alone.
    SetWindowPos(window, nullptr, 300, 300, 16, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_EQ(size(), "16x150");
}

TEST_F(Monitors, StartUpKeepsAPlaceAnyMonitorShowsAndGivesUpOneNoneShows) {
    SuppliedMonitors desk({primary, right, left});
    WriteSettingsBesideTests("[MAIN]\r\nWndPosX=-900\r\nWndPosY=1000\r\nWndWidth=100\r\n"
                             "WndHeight=60\r\n");
    Open();
    EXPECT_TRUE(At(Place(), -900, 1000)) << "the left monitor shows it";
    CloseGraphWindow(window);

    // Saved on the right monitor, which is gone: on the primary, its file untouched until the
    // next save, which writes where the window is.
    desk.Replace({primary, left});
    const std::string saved = "[MAIN]\r\nWndPosX=" + std::to_string(primary.monitor.right + 300) +
                              "\r\nWndPosY=100\r\nWndWidth=100\r\nWndHeight=60\r\n";
    WriteSettingsBesideTests(saved.c_str());
    Open();
    const RECT& work = primary.work;
    EXPECT_TRUE(At(Place(), work.right - 100, 100));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(ReadFileBytes(SettingsPathBesideTests()), saved);
    CloseGraphWindow(window);
    std::string file = ReadFileBytes(SettingsPathBesideTests());
    EXPECT_NE(file.find("WndPosX=" + std::to_string(work.right - 100) + "\r\n"), std::string::npos)
        << file;
}

// A 150 % primary and a 100 % monitor to its right. A saved place by the boundary may put the
// window, sized for one scale, mostly on the monitor of the other: it starts on one monitor at
// that monitor's size, and saves the size it was saved with.
TEST_F(Monitors, AStartOnMonitorsOfTwoScalesTakesTheSizeOfTheMonitorItEndsOn) {
    const int sw = primary.monitor.right;
    SuppliedMonitor scaled = primary;
    scaled.dpi = 144;
    SuppliedMonitor plain = {{sw, 0, sw + 1280, 1024}, {sw, 0, sw + 1280, 1024}, 96};
    SuppliedMonitors desk({scaled, plain});
    struct Case {
        int x;
        UINT dpi;
        int left; // where it starts
    };
    const Case cases[] = {
        // 142 pixels wide it lies 90:52 on the primary, 213 wide 90:123 on the right one: no
        // scale agrees with its monitor, and it goes wholly onto the primary.
        {sw - 90, 144, static_cast<int>(scaled.work.right) - 213},
        {sw - 30, 96, sw - 30}, // mostly on the right one at either size
        {sw + 100, 96, sw + 100},
        {200, 144, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x - sw);
        const std::string saved = "[MAIN]\r\nWndPosX=" + std::to_string(c.x) +
                                  "\r\nWndPosY=300\r\nWndWidth=142\r\nWndHeight=43\r\n";
        WriteSettingsBesideTests(saved.c_str());
        Open();
        RECT r;
        GetWindowRect(window, &r);
        EXPECT_EQ(WindowDpi(window), static_cast<int>(c.dpi));
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, 300);
        EXPECT_EQ(r.right - r.left, MulDiv(142, c.dpi, 96)) << "the size its monitor gives";
        EXPECT_EQ(r.bottom - r.top, MulDiv(43, c.dpi, 96));
        CloseGraphWindow(window);
        window = nullptr;
        std::string file = ReadFileBytes(SettingsPathBesideTests());
        EXPECT_NE(file.find("\r\nWndWidth=142\r\nWndHeight=43\r\n"), std::string::npos) << file;
    }
}

TEST_F(Monitors, ADialogCentredOnItsParentStaysOnTheParentsMonitor) {
    const int sw = primary.monitor.right;
    // A strip of a monitor right of the primary, 120 pixels high.
    SuppliedMonitors desk({primary, {{sw, 0, sw + 1280, 120}, {sw, 0, sw + 1280, 120}}});
    HWND parent = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, sw + 10, 0, 100, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    HWND dialog = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 600, 600,
                                  parent, nullptr, nullptr, nullptr);
    ASSERT_EQ(CenterOnParent(dialog), 1);
    // Centred, it would lie mostly on the primary, which is taller: it goes into the strip's
    // work area instead, its top and left edges winning.
    EXPECT_TRUE(At(Place(dialog), sw, 0));
    // A dialog that centred stays on the parent's monitor is where centring puts it.
    SetWindowPos(parent, nullptr, sw + 300, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(dialog, nullptr, 0, 0, 80, 60, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_EQ(CenterOnParent(dialog), 1);
    EXPECT_TRUE(At(Place(dialog), sw + 310, 30));
    DestroyWindow(dialog);
    DestroyWindow(parent);
}

} // namespace
