// The program's icon in the notification area: its picture, its tooltip, and whether it is
// there.
#include "app/tray_icon.h"

#include "render/draw_resources_build.h"
#include "render/tray_picture.h"
#include "res/resource.h"
#include "window/dpi.h"
#include "window/tray.h"

namespace {

// The tooltip of the window's state: the program's name while the window is shown, none while
// it is hidden.
const wchar_t* TrayTip(const AppState* app) {
    return (app->Settings.Main.Prop & PropShown) ? ProgramTitle : L"";
}

// The tray icon's side in pixels; 16 until the taskbar's scale has been read.
int TraySide(const AppState* app) {
    return app->TraySize > 0 ? app->TraySize : 16;
}

} // namespace

HICON MakeTrayImage(AppState* app, CounterRun* runs, bool* unchanged) {
    if (unchanged)
        *unchanged = false;
    if (app->Settings.Main.Prop & PropNoIconGraph) {
        ForgetTrayPicture();
        return static_cast<HICON>(LoadImageW(app->Instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                             TraySide(app), TraySide(app), LR_DEFAULTCOLOR));
    }
    // Drawn at the size the notification area shows, never stretched there from 16 x 16.
    return MakeTrayIcon(TraySide(app), TraySide(app), app->IconRes, app->Settings.Slot, runs, 2,
                        unchanged);
}

bool ReadTrayScale(AppState* app) {
    int dpi = TaskbarDpi();
    int size = SmallIconSizeAt(dpi);
    if (dpi == app->TrayDpi && size == app->TraySize)
        return false;
    app->TrayDpi = dpi;
    app->TraySize = size;
    return true;
}

void RescaleTrayDrawing(AppState* app) {
    for (int i = 0; i < 2; i++) {
        DrawResources* res = &app->IconRes[i];
        int32_t phase = res->GridPhase;
        BuildIconResources(res, &app->Settings.Style[i], app->TrayDpi);
        res->GridPhase = phase;
    }
}

void RenewTrayScale(AppState* app, HWND window) {
    if (!ReadTrayScale(app))
        return;
    RescaleTrayDrawing(app);
    // While nobody can see the desktop the picture at the new size waits for the redraw that
    // comes when someone can.
    if (!(app->Settings.Main.Prop & PropNoTrayIcon) && (app->RunFlag & TrayIcon) && !app->Absence)
        PutTrayIcon(app, window, MakeTrayImage(app, app->Run), false);
}

void PutTrayIcon(AppState* app, HWND window, HICON image, bool withTip) {
    // An icon was put in before (it has a picture): it is modified first, even when the run
    // flag says it is gone, since "TaskbarCreated" may come while it is still there. At start
    // and after the icon was taken out there is nothing to modify.
    bool putBefore = app->TrayImage != nullptr;
    if (app->TrayImage)
        DestroyIcon(app->TrayImage);
    app->TrayImage = image;
    const wchar_t* tip = TrayTip(app);
    bool present = putBefore && NotifyTrayIcon(NIM_MODIFY, window, TrayIconId, TrayCallbackMsg,
                                               image, withTip ? tip : nullptr);
    // An icon lost with a restarted taskbar, or one that never got in, is added afresh.
    if (!present)
        present = NotifyTrayIcon(NIM_ADD, window, TrayIconId, TrayCallbackMsg, image, tip);
    if (present)
        app->RunFlag |= TrayIcon;
    else
        app->RunFlag &= ~TrayIcon;
}

void SetTrayTip(AppState* app, HWND window) {
    if (app->RunFlag & TrayIcon)
        NotifyTrayIcon(NIM_MODIFY, window, TrayIconId, 0, nullptr, TrayTip(app));
}

void RemoveTrayIcon(AppState* app, HWND window) {
    if (app->RunFlag & TrayIcon) {
        NotifyTrayIcon(NIM_DELETE, window, TrayIconId, 0, nullptr, nullptr);
        app->RunFlag &= ~TrayIcon;
    }
    if (app->TrayImage) {
        DestroyIcon(app->TrayImage);
        app->TrayImage = nullptr;
    }
}
