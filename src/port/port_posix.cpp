// The core's platform services on the Linux host, for the unit tests and the fuzzers.
#include "port/port.h"
#include "port/port_test.h"

#include <cstdlib>
#include <cwctype>

namespace {

// The ANSI code page the host imitates; Windows programs get it from the system.
unsigned activeCodePage = 1252;

} // namespace

void* PortHeapAlloc(size_t bytes) { return std::malloc(bytes ? bytes : 1); }

void PortHeapFree(void* memory) { std::free(memory); }

void PortSetCodePage(unsigned codePage) { activeCodePage = codePage == 932 ? 932 : 1252; }

bool PortIsLeadByte(unsigned char byte) {
    if (activeCodePage == 932)
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return false;
}

const wchar_t* PortCharNextW(const wchar_t* text) { return *text ? text + 1 : text; }

wchar_t PortToLowerWide(wchar_t ch) {
    // The tests run in the C locale, where towlower changes A-Z only; that is all the
    // names compared on the host (file extensions) need.
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
}
