// The settings text engine: an INI-style text held in memory, read and edited key by key.
#pragma once

#include <cstdint>

// The whole settings file as one zero-terminated byte string on the process heap: in the
// system's ANSI code page, or UTF-8 throughout when it starts with the UTF-8 byte-order mark
// (which every edit keeps).
// Absent (null) stands for no file: readers then give their defaults, and the first write
// makes a new text.
using SettingsText = char;

// The UTF-8 byte-order mark that makes a text UTF-8 throughout, and its length.
constexpr char SettingsUtf8Mark[] = "\xEF\xBB\xBF";
constexpr int SettingsUtf8MarkBytes = 3;

// Frees a text; absent is allowed.
void FreeSettingsText(SettingsText* text);

// Readers: the value of key in section, or the default when the text, the section or the
// key is missing. A key that is present with an empty or unusable number gives 0.
int32_t GetIntValue(const char* section, const char* key, int32_t defaultValue,
                    const SettingsText* text);
uint32_t GetHexValue(const char* section, const char* key, uint32_t defaultValue,
                     const SettingsText* text);
int64_t GetInt64Value(const char* section, const char* key, int64_t defaultValue,
                      const SettingsText* text);
// Copies the value (or the default) into output of capacity wide characters, terminator
// included, and returns the characters stored; a value that does not fit gives the empty
// text. With no output, returns the value's size in bytes (size + 1 characters suffice).
int GetTextValue(const char* section, const char* key, const wchar_t* defaultValue, wchar_t* output,
                 int capacity, const SettingsText* text);

// Writers: set key in section to value (none writes an empty value), in place when the key
// is there, else at the end of its section, else in a new section at the end. A value is one
// line: it is written up to its first line break. They return the
// text to continue with, which may be a new one (the old one is then freed). When memory for
// a larger text cannot be had they return the text they were given, unchanged (absent when
// it was absent), and set *failed when failed is given.
SettingsText* SetTextValue(const char* section, const char* key, const wchar_t* value,
                           SettingsText* text, bool* failed = nullptr);
SettingsText* SetIntValue(const char* section, const char* key, int32_t value, SettingsText* text,
                          bool* failed = nullptr);
// "0" for zero, else "0x" and eight upper-case hexadecimal digits.
SettingsText* SetHexValue(const char* section, const char* key, uint32_t value, SettingsText* text,
                          bool* failed = nullptr);
SettingsText* SetInt64Value(const char* section, const char* key, int64_t value, SettingsText* text,
                            bool* failed = nullptr);
// Removes the first key line of the section, in place; 1 when a line was removed, else 0.
int DeleteKey(const char* section, const char* key, SettingsText* text);
