// The few platform services that the platform-free core needs.
#pragma once

#include <cstddef>

// Memory on the process heap for texts of free length; null when none is to be had.
void* PortHeapAlloc(size_t bytes);
// Frees memory from PortHeapAlloc; null is allowed.
void PortHeapFree(void* memory);

// Whether a byte of the ANSI code page starts a double-byte character.
bool PortIsLeadByte(unsigned char byte);
// The next character of a wide text; the terminator itself is never stepped over.
const wchar_t* PortCharNextW(const wchar_t* text);
// One wide character lower-cased as the system does it for user-visible names.
wchar_t PortToLowerWide(wchar_t ch);
