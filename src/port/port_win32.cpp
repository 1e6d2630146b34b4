// The core's platform services on Windows: thin calls of the Windows API.
#include "port/port.h"

#include <windows.h>

void* PortHeapAlloc(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }

void PortHeapFree(void* memory) {
    if (memory)
        HeapFree(GetProcessHeap(), 0, memory);
}

bool PortIsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

const wchar_t* PortCharNextW(const wchar_t* text) { return CharNextW(text); }

wchar_t PortToLowerWide(wchar_t ch) {
    // With a zero high word CharLowerW converts the one character held in the low word and
    // hands it back the same way, instead of treating the argument as a text.
    ULONG_PTR single = static_cast<unsigned short>(ch);
    LPWSTR lowered = CharLowerW(reinterpret_cast<LPWSTR>(single));
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(lowered) & 0xFFFF);
}
