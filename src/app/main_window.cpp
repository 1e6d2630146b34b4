// The graph window's procedure: creation, destruction, surface, paint, moving and sizing, and
// the dispatch of every other message to its handler.
#include "app/main_window.h"

#include <windowsx.h>

#include "app/commands.h"
#include "app/hover.h"
#include "app/power.h"
#include "app/sampling.h"
#include "app/settings_file.h"
#include "app/start_values.h"
#include "app/tray_icon.h"
#include "app/window_actions.h"
#include "counters/counter_query.h"
#include "counters/host_counters.h"
#include "render/dpi_math.h"
#include "render/draw_resources_build.h"
#include "render/surface.h"
#include "render/tray_picture.h"
#include "res/resource.h"
#include "window/dpi.h"
#include "window/frame_math.h"
#include "window/layered.h"
#include "window/placement.h"

AppState TheApp;

namespace {

// Gives the window a surface of its client size, keeping the one it has when that size is
// unchanged (and with it the picture painted there).
void FitSurface(AppState* app, int width, int height) {
    BITMAP info;
    if (app->Surface && GetObjectW(app->Surface, sizeof(info), &info) == sizeof(info) &&
        info.bmWidth == width && info.bmHeight == height)
        return;
    if (app->Surface)
        DeleteObject(app->Surface);
    app->Surface = CreateSurface(nullptr, width, height, 32, nullptr, RGB(0, 0, 0));
}

// An elevated program (started as administrator for real-time priority, say) gets no
// "TaskbarCreated" from Explorer unless it lets that message through the system's message
// filter; without it the tray icon is gone for good after Explorer restarts.
// ChangeWindowMessageFilterEx exists from Windows 7 on, its process-wide form from Vista, so
// they are looked up at run time.
void AllowTaskbarCreated(HWND window, UINT message) {
    using WindowFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
    using ProcessFilter = BOOL(WINAPI*)(UINT, DWORD);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32 || !message)
        return;
    if (FARPROC found = GetProcAddress(user32, "ChangeWindowMessageFilterEx")) {
        reinterpret_cast<WindowFilter>(reinterpret_cast<void*>(found))(window, message,
                                                                       MSGFLT_ALLOW, nullptr);
    } else if (FARPROC vista = GetProcAddress(user32, "ChangeWindowMessageFilter")) {
        // Windows Vista: the filter of the whole process.
        reinterpret_cast<ProcessFilter>(reinterpret_cast<void*>(vista))(message, MSGFLT_ADD);
    }
}

// Sizes the window, sized for the DPI sizedFor, anew for the scale of the monitor it is on
// when that is another. Returns the DPI it is sized for now.
int SizeForMonitor(AppState* app, HWND window, int sizedFor) {
    const WindowPlacement* place = &app->Settings.Place;
    int dpi = WindowDpi(window);
    if (dpi == sizedFor)
        return sizedFor;
    if (dpi != app->Dpi)
        RescaleGraphDrawing(app, dpi);
    SetWindowPos(window, nullptr, 0, 0, ScaleToDpi(place->WndWidth, dpi),
                 ScaleToDpi(place->WndHeight, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    return dpi;
}

// Puts the window at its saved place with its saved size, given at 96 DPI, scaled for the
// monitor it lands on; without a settings file, at its default size in the corner by the
// tray. A saved place that no monitor shows any more (one unplugged, a resolution lowered)
// is given up for the nearest work area, so that the window never starts out of reach.
void PlaceAtStart(AppState* app, HWND window, bool loaded) {
    const WindowPlacement* place = &app->Settings.Place;
    app->Placing = true;
    if (!loaded) {
        RECT r;
        int width = ScaleToDpi(place->WndWidth, app->Dpi);
        int height = ScaleToDpi(place->WndHeight, app->Dpi);
        if (GetWindowRect(window, &r) && (r.right - r.left != width || r.bottom - r.top != height))
            SetWindowPos(window, nullptr, 0, 0, width, height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        PlaceNearTray(window, FALSE);
    } else {
        // One move, at the size of the monitor the window will be on: a move at one scale and
        // a resize at another could flip it between two monitors of different scales.
        int sizedFor;
        RECT r = PlanStartPlace(place->WndPosX, place->WndPosY, place->WndWidth, place->WndHeight,
                                &sizedFor);
        MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
        // Should the system still see it on a monitor of another scale, it takes that size.
        sizedFor = SizeForMonitor(app, window, sizedFor);
        // Pulled onto a monitor of another scale, it is sized for that one, which may take it
        // past the work area's edge again.
        if (KeepOnScreen(window, app->Dpi)) {
            SizeForMonitor(app, window, sizedFor);
            PullOnScreen(window, app->Dpi);
        }
    }
    app->Placing = false;
    app->StartLoaded = loaded;
    if (!GetWindowRect(window, &app->StartPlace))
        SetRectEmpty(&app->StartPlace);
}

// The work area changed: at sign-in the taskbar takes its strip of the screen after the
// program has started. A window that is still where the start put it (the user has not moved
// it since) is put again by the work area as it is now; one the user placed stays.
void FollowWorkArea(AppState* app, HWND window) {
    RECT r;
    if (IsRectEmpty(&app->StartPlace) || !GetWindowRect(window, &r) ||
        !EqualRect(&r, &app->StartPlace))
        return;
    PlaceAtStart(app, window, app->StartLoaded);
}

LRESULT OnCreate(AppState* app, HWND window, const CREATESTRUCTW* create) {
    app->Instance = create->hInstance;
    app->Window = window;
    app->RunFlag = 0;
    app->TaskbarCreatedMsg = RegisterWindowMessageW(L"TaskbarCreated");
    AllowTaskbarCreated(window, app->TaskbarCreatedMsg);
    ReadOsVersion(&app->OsMajor);
    app->SettingsArg = GetSettingsArgument();

    app->InSizeMove = 0;
    app->SizeEdge = 0;
    app->PeekPoint = {65536, 65536};
    app->Peeking = 0;
    app->LayeredCaps = ProbeLayeredApi();
    if (!app->Pdh)
        app->Pdh = ProgramCounterLibrary();

    MainSettings* main = &app->Settings.Main;
    bool loaded = LoadSettings(app) != 0;
    app->Dpi = WindowDpi(window);
    ReadTrayScale(app);

    // The drawing resources and the tray icon come first: a saved size other than the
    // window's own sends WM_SIZE from the move below, and its redraw renews the icon.
    BuildGraphDrawing(app, 0);
    if (app->Settings.Slot[1].PdhFlag & PdhUse)
        BuildGraphDrawing(app, 1);

    if (main->Prop & PropNoTrayIcon) {
        // Without a tray icon the window must stay reachable: shown and clickable. Windows
        // passes clicks through see-through pixels too, so that goes as well.
        main->Prop = (main->Prop | PropShown) & ~(PropClickThrough | PropClearBack);
    } else {
        PutTrayIcon(app, window, MakeTrayImage(app, nullptr), true); // nothing measured yet
    }

    PlaceAtStart(app, window, loaded);
    // The first WM_SIZE may come only with the first showing: the surface is made here, so
    // that the window shows its frame, grid and "---" from the start.
    RECT client;
    GetClientRect(window, &client);
    FitSurface(app, client.right, client.bottom);

    if (main->Prop & PropShown)
        ShowGraphWindow(app);
    if (main->Prop & PropTopmost) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        app->RunFlag |= Topmost;
    }
    if (app->LayeredCaps) {
        app->RunFlag |= ApplyWindowEffects(window, main);
    } else {
        // Without layered windows the hover action can only hide.
        main->Prop =
            (main->Prop & ~(PropTranslucent | PropClearBack | PropClickThrough)) | PropHoverHides;
    }

    SetPriorityClass(GetCurrentProcess(), PriorityClassAtStart(main->Priority, app->OsMajor));
    ChoosePowerThrottling(main->Priority);
    WatchPresence(app, window);

    bool hotKeyRefused = !RegisterShowHotKey(app, window);

    // A settings file that could not be read is reported once the program runs, first, since it
    // explains what follows; then a hot key that another program holds. Sampling starts as the
    // message loop's next thing, while a box waits.
    if (app->SettingsRefused)
        PostMessageW(window, ReadErrorMsg, 0, 0);
    if (hotKeyRefused)
        PostMessageW(window, HotKeyErrorMsg, 0, 0);
    PostMessageW(window, WM_COMMAND, IDM_START, 0);
    return 0;
}

LRESULT OnDestroy(AppState* app, HWND window) {
    // Nothing of the program runs any more, and nothing can be clicked: a message box of the
    // save below runs a message loop of its own.
    // A redraw or a resume that comes while a message box of the save waits must not put the
    // icon back or start sampling again.
    app->Absence |= AbsentClosing;
    const UINT_PTR timers[] = {TIMER_SAMPLE, TIMER_TRAYPEEK, TIMER_HOVER, TIMER_TRIM};
    for (UINT_PTR timer : timers)
        KillTimer(window, timer);
    UnregisterShowHotKey(app, window);
    StopWatchingPresence(app, window);
    RemoveTrayIcon(app, window);
    if (!ShiftHeld())
        SaveSettings(app, window);

    CloseCounters(app->Pdh, &app->Query, app->Run, 2);
    // The drawing resources were built at creation whether or not sampling ever started.
    for (int i = 0; i < 2; i++) {
        FreeDrawResources(&app->GraphRes[i]);
        FreeDrawResources(&app->IconRes[i]);
    }
    ReleaseTrayIconCanvas();
    if (app->Surface) {
        DeleteObject(app->Surface);
        app->Surface = nullptr;
    }
    ReleaseLayeredApi();
    PostQuitMessage(0);
    return 0;
}

LRESULT OnSize(AppState* app, HWND window, WPARAM kind, LPARAM size) {
    if (kind != SIZE_RESTORED)
        return 0;
    FitSurface(app, LOWORD(size), HIWORD(size));
    // Sent, not posted: the new surface is painted before the window shows it.
    SendMessageW(window, RedrawMsg, 0, 0);
    return 0;
}

LRESULT OnPaint(AppState* app, HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (app->Surface) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, app->Surface);
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top,
               SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    EndPaint(window, &ps);
    return 0;
}

LRESULT OnGetMinMaxInfo(const AppState* app, MINMAXINFO* info) {
    int dpi = app->Dpi;
    PixelPoint least = LeastWindowSize(dpi), largest = LargestWindowSize(dpi);
    info->ptMinTrackSize = {least.x, least.y};
    info->ptMaxTrackSize = {largest.x, largest.y};
    info->ptMaxSize = info->ptMaxTrackSize;
    return 0;
}

LRESULT OnWindowPosChanging(AppState* app, WINDOWPOS* pos) {
    if (!ShiftHeld())
        AdjustWindowPos(app->SizeEdge, pos, &app->Settings.Main, &app->GraphRes[0], app->Dpi);
    return 0;
}

// The window moved to a monitor of another scale, or the scale changed: the drawing is made
// for the new DPI and the window takes the rectangle the system suggests for it.
LRESULT OnDpiChanged(AppState* app, HWND window, WPARAM dpis, const RECT* suggested) {
    RescaleGraphDrawing(app, LOWORD(dpis));
    RenewTrayScale(app, window);
    if (!app->Placing && suggested)
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    // A rectangle of the same size sends no WM_SIZE: the surface is painted afresh here.
    SendMessageW(window, RedrawMsg, 0, 0);
    return 0;
}

LRESULT OnNcRButtonUp(AppState* app, HWND window, LPARAM lParam) {
    HMENU menu = BuildProgramMenu(app);
    if (!menu)
        return 0;
    int sub = GetKeyState(VK_RWIN) < 0 ? 1 : 0;
    TrackPopupMenu(GetSubMenu(menu, sub), 0, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), 0, window,
                   nullptr);
    DestroyMenu(menu);
    return 0;
}

// Each timer goes to its handler.
LRESULT OnTimer(AppState* app, HWND window, WPARAM id) {
    switch (id) {
    case TIMER_SAMPLE:
        OnSampleTimer(app, window);
        break;
    case TIMER_TRAYPEEK:
        OnTrayPeekTimer(app, window);
        break;
    case TIMER_HOVER:
        OnHoverTimer(app, window);
        break;
    case TIMER_TRIM:
        OnTrimTimer(window);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnTaskbarCreated(AppState* app, HWND window) {
    app->PeekPoint = {65536, 65536};
    app->RunFlag &= ~TrayIcon;
    // A redraw puts the icon back at the new taskbar's size (it reads the scale). One is asked
    // for here, since with sampling stopped by a counter error no sample would ask for it.
    PostMessageW(window, RedrawMsg, 0, 0);
    return 0;
}

} // namespace

DWORD PriorityClassAtStart(int32_t priority, uint32_t osMajor) {
    bool modern = osMajor >= 5;
    switch (priority) {
    case 3:
        return REALTIME_PRIORITY_CLASS;
    case 2:
        return HIGH_PRIORITY_CLASS;
    case 1:
        return modern ? ABOVE_NORMAL_PRIORITY_CLASS : HIGH_PRIORITY_CLASS;
    case -1:
        return modern ? BELOW_NORMAL_PRIORITY_CLASS : IDLE_PRIORITY_CLASS;
    case -2:
        return IDLE_PRIORITY_CLASS;
    default:
        return NORMAL_PRIORITY_CLASS;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    AppState* app = &TheApp;
    switch (message) {
    case WM_CREATE:
        return OnCreate(app, window, reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_DESTROY:
        return OnDestroy(app, window);
    case WM_SIZE:
        return OnSize(app, window, wParam, lParam);
    case WM_PAINT:
        return OnPaint(app, window);
    case WM_ENDSESSION:
        if (wParam) {
            // The session ends: a message box would only hold it up.
            app->SaveErrorShown = true;
            DestroyWindow(window);
        }
        return 0;
    case WM_WTSSESSION_CHANGE:
        OnSessionChange(app, window, wParam);
        return 0;
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(app, window, wParam, lParam);
    case WM_ACTIVATEAPP:
        return OnActivateApp(app, wParam != 0);
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(app, reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_DPICHANGED:
        return OnDpiChanged(app, window, wParam, reinterpret_cast<const RECT*>(lParam));
    case WM_DISPLAYCHANGE:
        // A monitor unplugged or a resolution lowered may have left the window out of reach.
        // On a monitor of another scale the move resizes it (WM_DPICHANGED), which may take it
        // past the work area's edge again.
        if (KeepOnScreen(window, app->Dpi))
            PullOnScreen(window, app->Dpi);
        // The small-icon size or the taskbar's scale may have changed with them.
        RenewTrayScale(app, window);
        break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA)
            FollowWorkArea(app, window);
        RenewTrayScale(app, window);
        break;
    case WM_WINDOWPOSCHANGING:
        return OnWindowPosChanging(app, reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_NCCALCSIZE:
        return 0; // the whole window is client area
    case WM_NCHITTEST:
        return HitTestFrame(window, lParam, app->Dpi);
    case WM_NCMOUSEMOVE:
        return OnNcMouseMove(app, window);
    case WM_NCRBUTTONDOWN:
        // Handled, so that no default handling captures the mouse over the caption and turns
        // the button's release into a client message.
        return 0;
    case WM_NCRBUTTONUP:
        return OnNcRButtonUp(app, window, lParam);
    case WM_SYSKEYDOWN:
        if ((lParam & (1 << 29)) && wParam == 'P') {
            PostMessageW(window, WM_COMMAND, IDM_SETTINGS, 0);
            return 0;
        }
        break;
    case WM_COMMAND:
        if (OnCommand(app, window, LOWORD(wParam)))
            return 0;
        break;
    case WM_TIMER:
        return OnTimer(app, window, wParam);
    case WM_SIZING:
        app->SizeEdge = static_cast<int32_t>(wParam);
        break;
    case WM_MOVING:
        // Windows passes 9 for a move here; some implementations pass 0.
        app->SizeEdge = EdgeMoving;
        break;
    case WM_ENTERSIZEMOVE:
        app->InSizeMove = 1;
        app->SizeEdge = 0;
        break;
    case WM_EXITSIZEMOVE:
        app->InSizeMove = 0;
        app->SizeEdge = 0;
        break;
    case WM_HOTKEY:
        if (wParam == HotKeyId)
            PostMessageW(window, WM_COMMAND, IDM_SHOWGRAPH, 0);
        return 0;
    case TrayCallbackMsg:
        // Only the program's one icon reports here.
        return wParam == TrayIconId ? OnTrayCallback(app, window, lParam) : 0;
    case RedrawMsg:
        return OnRedraw(app, window);
    case ReadErrorMsg:
        ReportReadError(app);
        return 0;
    case HotKeyErrorMsg:
        ReportHotKeyError(app);
        return 0;
    default:
        if (message == app->TaskbarCreatedMsg && message != 0)
            return OnTaskbarCreated(app, window);
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
