// Process entry: after the C runtime's start-up, skips the program name, takes the show
// command and ends the process with the main routine's result.
#include <windows.h>

#include "app/start_values.h"
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* rest = SkipProgramName(GetCommandLineA());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess(static_cast<UINT>(FerroMain(GetModuleHandleA(nullptr), nullptr, rest, show)));
}
