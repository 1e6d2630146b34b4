// Process start: the command line, the window class, the graph window and the message loop.
#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/app_state.h"
#include "app/main_window.h"

const char* SkipProgramName(const char* commandLine) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        p++;
        while (*p && *p != '"')
            p++;
        if (*p == '"')
            p++;
    } else {
        while (*p > ' ')
            p++;
    }
    while (*p >= 1 && *p <= ' ')
        p++;
    return reinterpret_cast<const char*>(p);
}

const wchar_t* FindSettingsArgument(const wchar_t* commandLine) {
    // Only the blank separates here: a tab is part of the program name or the argument.
    const wchar_t* p = commandLine ? commandLine : L"";
    while (*p == L' ')
        p++;
    if (*p == L'"') {
        p = CharNextW(p);
        while (*p && *p != L'"')
            p = CharNextW(p);
        if (*p == L'"')
            p++;
    } else {
        while (*p && *p != L' ')
            p = CharNextW(p);
        if (*p == L' ')
            p++;
    }
    while (*p == L' ')
        p++;
    return p;
}

const wchar_t* GetSettingsArgument() {
    return FindSettingsArgument(GetCommandLineW());
}

int ReadOsVersion(uint32_t* major) {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
#if defined(_MSC_VER)
#pragma warning(suppress : 4996) // the major version is all we need, manifest or not
#endif
    if (!GetVersionExW(&info))
        return 0;
    *major = info.dwMajorVersion;
    return 1;
}

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
