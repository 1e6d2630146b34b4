// A stand-in pdh.dll for the test that plants one beside the program: every call answers a
// status no real library gives.
#include <windows.h>

extern "C" __declspec(dllexport) LONG WINAPI PdhOpenQueryW(LPCWSTR, DWORD_PTR, HANDLE* query) {
    *query = nullptr;
    return static_cast<LONG>(0xE0E0E0E0);
}
