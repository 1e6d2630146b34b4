// Number and text conversions. The core has its own string routines so that it behaves the
// same with the 16-bit wchar_t of Windows and the 32-bit one of the Linux host.
#include "settings/convert.h"

int WideLength(const wchar_t* text) {
    int n = 0;
    if (text)
        while (text[n])
            n++;
    return n;
}

int CopyWideText(wchar_t* destination, const wchar_t* source, int capacity) {
    if (!destination || !source || capacity < 2 || !source[0])
        return 0;
    int n = 0;
    while (n < capacity - 1 && source[n]) {
        destination[n] = source[n];
        n++;
    }
    destination[n] = L'\0';
    return n;
}
