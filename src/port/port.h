// The few platform services that the platform-free core needs.
#pragma once

#include <cstddef>
#include <cstdint>

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

// The next character of an ANSI text: two bytes for a double-byte character whose trail byte
// is there, else one; the terminator itself is never stepped over.
const char* PortCharNextA(const char* text);
// Whether the n bytes at a and the n bytes at b are the same name apart from letter case, as
// the system compares names.
bool PortSameNameA(const char* a, const char* b, int n);
// Whether the n bytes at a and at b are the same apart from the case of ASCII letters; every
// other byte must match exactly. Platform-free.
inline bool SameAsciiNoCase(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; i++) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

// Converts count bytes of ANSI text into wide characters at output, which has room for
// capacity of them; no terminator is written. Returns the characters written, or 0 when they
// do not fit or count is 0. With no output, returns the characters needed.
int PortAnsiToWide(const char* text, int count, wchar_t* output, int capacity);
// Converts count wide characters into ANSI bytes at output (room for capacity bytes, no
// terminator written); characters the code page lacks become its default character. Returns
// the bytes written, or 0 when they do not fit or count is 0. With no output, returns the
// bytes needed.
int PortWideToAnsi(const wchar_t* text, int count, char* output, int capacity);

enum class PortReadStatus {
    Read,       // the whole file is in the buffer
    Missing,    // there is no such file (or folder)
    TooLarge,   // the file is larger than the limit: nothing was read
    Unreadable, // the file exists but could not be opened or read whole
};
// The system's error codes the core names itself (the values of Windows' ERROR_ codes).
constexpr uint32_t PortErrorFileNotFound = 2;
constexpr uint32_t PortErrorPathNotFound = 3;
constexpr uint32_t PortErrorAccessDenied = 5;
constexpr uint32_t PortErrorNoMemory = 8;
constexpr uint32_t PortErrorInvalidData = 13;
constexpr uint32_t PortErrorGeneralFailure = 31;
constexpr uint32_t PortErrorFileTooLarge = 223;
constexpr uint32_t PortErrorIsFolder = 336; // ERROR_DIRECTORY_NOT_SUPPORTED: a folder, not a file
constexpr uint32_t PortErrorNoUnicodeTranslation = 1113;

// Reads the whole file at path, when it holds at most maxBytes bytes, into a new heap block
// of size + 1 bytes whose last byte is zero; the caller frees it with PortHeapFree. data is
// null unless the result is Read. A file that another program holds for a moment (a virus
// scanner, an indexer, a sync client) is tried again for about two seconds. error, when
// given, receives the system's error code of a result other than Read.
PortReadStatus PortReadFile(const wchar_t* path, size_t maxBytes, char** data, size_t* size,
                            uint32_t* error = nullptr);
// Replaces the file at path (or creates it) with the size bytes of data in one step: they are
// written and flushed to a new file in the same folder, which then takes the old one's place,
// keeping the old one's attributes and permissions. A file held for a moment is tried again
// as PortReadFile does. Returns false, with the old file left as it was, when any step fails;
// error, when given, then receives the system's error code.
bool PortReplaceFile(const wchar_t* path, const char* data, size_t size, uint32_t* error = nullptr);

// Milliseconds since the system started, wrapping after about 49.7 days.
uint32_t PortTickCount();

// A local date and time, as the system clock gives it.
struct PortTime {
    uint16_t year, month, day, hour, minute, second, milliseconds;
};
void PortLocalTime(PortTime* time);
// The date in the user's short date format, or the time in the user's time format, written
// at output with its terminator within capacity characters. Returns the characters written
// without the terminator, or 0 with nothing to keep when it does not fit.
int PortShortDateText(const PortTime* time, wchar_t* output, int capacity);
int PortTimeText(const PortTime* time, wchar_t* output, int capacity);

// The default beep, and how many the program has asked for so far.
void PortBeep();
unsigned PortBeepCount();

// Appends size bytes to the end of the file at path, creating it when missing. Programs that
// read it meanwhile (a log viewer) keep it open; a file held for writing by another program is
// tried again for a moment. Returns the bytes written, 0 when it could not be opened.
size_t PortAppendFile(const wchar_t* path, const char* data, size_t size);
