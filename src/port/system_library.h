// Loading optional system libraries from the system folder only.
#pragma once

#include <windows.h>

// Loads name (a bare file name such as L"pdh.dll") from the system folder, never from the
// program's folder or the search path; null when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);
