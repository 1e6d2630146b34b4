// What the process was started with: the settings argument of its command line and the
// system's version.
#include "app/start_values.h"

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
