// The popup menu's item states for the states of the program, and the layered attributes of
// the window effects, read back from the real menu and window.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/app_state.h"
#include "res/resource.h"
#include "window/layered.h"
#include "window/tray.h"

namespace {

// An item's state, or -1 when the menu has no such item.
int ItemState(HMENU menu, UINT id) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    if (!GetMenuItemInfoW(menu, id, FALSE, &info))
        return -1;
    return static_cast<int>(info.fState & (MFS_CHECKED | MFS_DEFAULT | MFS_GRAYED));
}

constexpr int Plain = 0;
constexpr int Checked = MFS_CHECKED;
constexpr int Default = MFS_DEFAULT;
constexpr int Grayed = MF_GRAYED; // what EnableMenuItem sets; MFS_GRAYED also has MF_DISABLED
constexpr int Missing = -1;

class PopupMenu : public testing::Test {
protected:
    void SetUp() override {
        app = new AppState();
        app->LayeredCaps = 0x17;
        app->OsMajor = 10;
    }
    void TearDown() override {
        if (menu)
            DestroyMenu(menu);
        delete app;
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    }
    void Build(uint32_t runFlag, uint32_t prop) {
        if (menu)
            DestroyMenu(menu);
        menu = BuildPopupMenu(GetModuleHandleW(nullptr), IDR_POPUP_MENU, IDM_SHOWGRAPH, runFlag,
                              prop, app->LayeredCaps, app->OsMajor);
        ASSERT_NE(menu, nullptr);
    }
    AppState* app = nullptr;
    HMENU menu = nullptr;
};

TEST_F(PopupMenu, ItemStatesFollowTheProgramsState) {
    struct Case {
        const char* what;
        uint32_t runFlag, prop, caps, osMajor;
        UINT item;
        int state;
    };
    const Case cases[] = {
        {"shown: checked, not bold", Shown | TrayIcon, 0x603, 0x17, 10, IDM_SHOWGRAPH, Checked},
        {"hidden: bold", TrayIcon, 0x602, 0x17, 10, IDM_SHOWGRAPH, Default},
        {"topmost", TrayIcon, 0x603, 0x17, 10, IDM_TOPMOST, Checked},
        {"not topmost", TrayIcon, 0x601, 0x17, 10, IDM_TOPMOST, Plain},
        {"translucent", TrayIcon, 0x613, 0x17, 10, IDM_TRANSLUCENT, Checked},
        {"see-through", TrayIcon, 0x623, 0x17, 10, IDM_CLEARBACK, Checked},
        {"click-through off", TrayIcon, 0x603, 0x17, 10, IDM_CLICKTHROUGH, Plain},
        {"no tray, hidden", 0, 0x702, 0x17, 10, IDM_SHOWGRAPH, Default | Grayed},
        {"no tray, click-through off", Shown, 0x703, 0x17, 10, IDM_CLICKTHROUGH, Grayed},
        {"no tray, click-through on", Shown | LayClickThrough, 0x743, 0x17, 10, IDM_CLICKTHROUGH,
         Checked},
        {"no tray, see-through off", Shown, 0x703, 0x17, 10, IDM_CLEARBACK, Grayed},
        {"no tray, see-through on", Shown | LayColorKey, 0x723, 0x17, 10, IDM_CLEARBACK, Checked},
        {"no layered functions", TrayIcon, 0x673, 0, 10, IDM_TRANSLUCENT, Missing},
        {"no layered functions", TrayIcon, 0x673, 0, 10, IDM_CLEARBACK, Missing},
        {"no layered functions", TrayIcon, 0x673, 0, 10, IDM_CLICKTHROUGH, Missing},
        {"version 4", TrayIcon, 0x603, 0x17, 4, IDM_PRIO_ABOVE, Missing},
        {"version 4", TrayIcon, 0x603, 0x17, 4, IDM_PRIO_BELOW, Missing},
        {"version 5", TrayIcon, 0x603, 0x17, 5, IDM_PRIO_BELOW, Plain},
        {"no alarm in use", TrayIcon, 0x603, 0x17, 10, IDM_ALARM, Grayed},
        {"alarm armed", TrayIcon | AlarmArmed, 0x603, 0x17, 10, IDM_ALARM, Plain},
        {"alarm running", TrayIcon | AlarmArmed | AlarmRunning, 0x603, 0x17, 10, IDM_ALARM,
         Checked},
        {"settings open", TrayIcon | AlarmArmed | SettingsOpen, 0x603, 0x17, 10, IDM_SETTINGS,
         Grayed},
        {"settings open", TrayIcon | AlarmArmed | SettingsOpen, 0x603, 0x17, 10, IDM_ALARM, Grayed},
        {"settings open", TrayIcon | SettingsOpen, 0x603, 0x17, 10, IDM_EXIT, Grayed},
        {"settings closed", TrayIcon, 0x603, 0x17, 10, IDM_EXIT, Plain},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app->LayeredCaps = c.caps;
        app->OsMajor = c.osMajor;
        Build(c.runFlag, c.prop);
        EXPECT_EQ(ItemState(menu, c.item), c.state) << "item " << c.item;
    }
}

TEST_F(PopupMenu, PriorityClassIsMarkedAsARadioItem) {
    struct Case {
        DWORD priorityClass;
        UINT item;
    };
    const Case cases[] = {{HIGH_PRIORITY_CLASS, IDM_PRIO_HIGH},
                          {ABOVE_NORMAL_PRIORITY_CLASS, IDM_PRIO_ABOVE},
                          {NORMAL_PRIORITY_CLASS, IDM_PRIO_NORMAL},
                          {BELOW_NORMAL_PRIORITY_CLASS, IDM_PRIO_BELOW},
                          {IDLE_PRIORITY_CLASS, IDM_PRIO_IDLE}};
    for (const Case& c : cases) {
        ASSERT_TRUE(SetPriorityClass(GetCurrentProcess(), c.priorityClass));
        Build(TrayIcon, 0x603);
        for (UINT id = IDM_PRIO_REALTIME; id <= IDM_PRIO_IDLE; id++) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_STATE | MIIM_FTYPE;
            ASSERT_TRUE(GetMenuItemInfoW(menu, id, FALSE, &info));
            EXPECT_EQ((info.fState & MFS_CHECKED) != 0, id == c.item) << id;
            if (id == c.item) {
                EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
            }
        }
    }
    // On version 4 the four classes left still mark the idle one.
    app->OsMajor = 4;
    ASSERT_TRUE(SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS));
    Build(TrayIcon, 0x603);
    EXPECT_EQ(ItemState(menu, IDM_PRIO_IDLE), Checked);
}

class Layered : public testing::Test {
protected:
    void SetUp() override {
        window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 10, 10, 142, 43,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_NE(ProbeLayeredApi() & CapSetLayered, 0u);
        main.WndAlpha = 0x00500032;
        main.ColWndLay = RGB(0, 0, 0);
    }
    void TearDown() override { DestroyWindow(window); }
    LONG ExStyle() const { return GetWindowLongW(window, GWL_EXSTYLE); }

    HWND window = nullptr;
    MainSettings main = {};
};

TEST_F(Layered, WindowEffectsSetTheLayeredAttributes) {
    struct Case {
        const char* what;
        uint32_t prop;
        uint32_t wndAlpha;
        uint32_t result;
        DWORD flags;
        BYTE alpha;
        bool clickThrough;
    };
    const Case cases[] = {
        {"translucent and see-through", 0x633, 0x00500032, LayAlpha | LayColorKey,
         LWA_ALPHA | LWA_COLORKEY, 127, false},
        {"translucent at 90 %", 0x613, 0x0050005A, LayAlpha, LWA_ALPHA, 229, false},
        {"a percentage of 100", 0x613, 0x00500064, LayAlpha, LWA_ALPHA, 255, false},
        {"127 percent keeps its low 7 bits", 0x613, 0x0050007F, LayAlpha, LWA_ALPHA, 67, false},
        {"click-through alone", 0x643, 0x00500032, LayClickThrough, LWA_ALPHA, 255, true},
        {"click-through and see-through", 0x663, 0x00500032, LayColorKey | LayClickThrough,
         LWA_ALPHA | LWA_COLORKEY, 255, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        main.Prop = c.prop;
        main.WndAlpha = c.wndAlpha;
        main.ColWndLay = RGB(1, 2, 3);
        EXPECT_EQ(ApplyWindowEffects(window, &main), c.result);
        ASSERT_TRUE(ExStyle() & WS_EX_LAYERED);
        EXPECT_EQ((ExStyle() & WS_EX_TRANSPARENT) != 0, c.clickThrough);
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
        EXPECT_EQ(flags, c.flags);
        EXPECT_EQ(alpha, c.alpha);
        if (flags & LWA_COLORKEY) {
            EXPECT_EQ(key, RGB(1, 2, 3));
        }
    }

    // With the hover action on, click-through waits for the hover; nothing else is on, so
    // the window is no longer layered.
    main.Prop = 0x647;
    EXPECT_EQ(ApplyWindowEffects(window, &main), 0u);
    EXPECT_EQ(ExStyle() & (WS_EX_LAYERED | WS_EX_TRANSPARENT), 0);
    main.Prop = 0x613;
    ApplyWindowEffects(window, &main);
    main.Prop = 0x603;
    EXPECT_EQ(ApplyWindowEffects(window, &main), 0u);
    EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0) << "all off: the layered style is removed";
}

TEST_F(Layered, HoverAlphaOfTheDefaultPercentages) {
    EXPECT_EQ(AlphaOfPercent(50), 127);
    EXPECT_EQ(AlphaOfPercent(80), 204);
    EXPECT_EQ(AlphaOfPercent(10), 25);
    EXPECT_EQ(AlphaOfPercent(0x80 | 50), 127) << "only the low 7 bits";
    EXPECT_TRUE(ApplyLayered(window, 0, AlphaOfPercent(80), LWA_ALPHA));
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 204);
    EXPECT_EQ(ApplyLayered(window, 0, 255, 0), 1);
    EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
}

} // namespace
