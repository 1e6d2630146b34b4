// Process start: the window class, the graph window and the message loop.
#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/app_state.h"
#include "app/main_window.h"

ATOM RegisterGraphClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    // No cursor and no background: the cursor follows the hit-test answers and the window
    // paints itself from its surface.
    wc.lpszClassName = GraphClassName;
    return RegisterClassExW(&wc);
}

HWND CreateGraphWindow(HINSTANCE instance) {
    return CreateWindowExW(WS_EX_TOOLWINDOW, GraphClassName, ProgramTitle, WS_POPUP, CW_USEDEFAULT,
                           CW_USEDEFAULT, 142, 43, nullptr, nullptr, instance, nullptr);
}

int RunMessageLoop() {
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int FerroMain(HINSTANCE instance, HINSTANCE, const char*, int) {
    // The command-line rest and the show command are not used: the settings decide
    // whether the window is shown.
    InitCommonControls();
    // ShellExecuteW, which the alarm actions use, wants COM on the calling thread: many file
    // handlers start through it. An apartment thread, without OLE 1 DDE.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int result = 0;
    if (RegisterGraphClass(instance) && CreateGraphWindow(instance))
        result = RunMessageLoop();
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}
