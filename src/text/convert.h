// Number and text conversions shared by the settings, the counters, the value text, the alarms
// and the dialogs: plain text work that knows nothing of any of them.
#pragma once

#include <cstdint>

// Length of a zero-terminated wide text; 0 for none.
int WideLength(const wchar_t* text);

// Decimal number after blanks (space, tab) and an optional sign; saturates at the 32-bit
// limits and gives 0 for a missing text or one without digits.
int32_t ParseInt32(const char* text);
// Up to 8 hexadecimal digits after blanks and an optional "0x"; more digits are ignored.
uint32_t ParseHex32(const char* text);
// As ParseInt32 with the 64-bit limits. end, when given, receives the first character not
// consumed, or text itself when no digit was.
int64_t ParseInt64(const char* text, const char** end);
int64_t ParseInt64Wide(const wchar_t* text, const wchar_t** end);

// Decimal digits of value. With no output returns the size needed, terminator included;
// otherwise writes as many leading digits as capacity - 1 allows and returns their number.
int FormatUInt64(uint64_t value, wchar_t* output, int capacity);
// Decimal text of value with its sign. The digits use at most capacity - 2 places (one place
// of the capacity is never written); a capacity too small for any digit gives the empty text.
// Returns the characters written; 0 with nothing written for a capacity below 2.
int FormatInt64(int64_t value, wchar_t* output, int capacity);

// Copies at most capacity - 1 bytes and the terminator without splitting a double-byte
// character; returns the bytes copied. Writes nothing and returns 0 when either text is
// missing, capacity is below 2 or the source is empty.
int CopyMultiByteText(char* destination, const char* source, int capacity);
// Copies at most capacity - 1 characters and the terminator; returns the characters copied.
// Writes nothing and returns 0 when either text is missing, capacity is below 2 or the
// source is empty.
int CopyWideText(wchar_t* destination, const wchar_t* source, int capacity);
// Appends at most count characters of source at output[length], stopping at its terminator
// and within capacity (terminator included), and terminates output. Returns the new length.
int AppendWideText(wchar_t* output, int length, int capacity, const wchar_t* source, int count);

// Converts count bytes of UTF-8 text into wide characters at output, which has room for
// capacity of them; no terminator is written. A byte that does not start a well-formed
// sequence becomes U+FFFD. Returns the characters written, or 0 when they do not fit or count
// is 0. With no output, returns the characters needed. (The same contract as the port's
// conversions of the ANSI code page.)
int Utf8ToWide(const char* text, int count, wchar_t* output, int capacity);
// Converts count wide characters into UTF-8 bytes at output (room for capacity bytes, no
// terminator written); a lone surrogate becomes U+FFFD. Returns the bytes written, or 0 when
// they do not fit or count is 0. With no output, returns the bytes needed.
int WideToUtf8(const wchar_t* text, int count, char* output, int capacity);

// Converts count bytes of UTF-16 little-endian text (an even number) into UTF-8 bytes at output
// (room for capacity bytes, no terminator written). A surrogate without its partner is written
// in the three-byte form UTF-8 would give its value, so that Utf8ToUtf16Le gives the same units
// back. Returns the bytes written, or 0 when they do not fit or count is 0. With no output,
// returns the bytes needed.
int Utf16LeToUtf8(const char* bytes, int count, char* output, int capacity);
// The way back: count bytes of UTF-8 into UTF-16 little-endian bytes at output (room for
// capacity bytes). The three-byte form of a surrogate gives that unit; a byte that starts no
// well-formed sequence gives U+FFFD. Returns as Utf16LeToUtf8 does.
int Utf8ToUtf16Le(const char* text, int count, char* output, int capacity);

// Index of the file name in path: just after its last '\', '/' or ':'; 0 without one.
int FileNameOffset(const wchar_t* path);
// Index of the last '.' of text; 0 when there is none, which also covers a '.' at index 0.
int ExtensionDotOffset(const wchar_t* text);
// 0 when the texts are equal, ignoring case, as far as the shorter one goes; otherwise the
// difference of the first lowered characters that differ.
int CompareNoCase(const wchar_t* a, const wchar_t* b);
