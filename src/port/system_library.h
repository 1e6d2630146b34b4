// Loading optional system libraries from the system folder only.
#pragma once

#include <windows.h>

// Loads name (a bare file name such as L"pdh.dll") from the system folder, never from the
// program's folder or the search path; null when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The function name of module as a pointer of type T; null when module is null or lacks it.
template <typename T> T SystemEntry(HMODULE module, const char* name) {
    return module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}
