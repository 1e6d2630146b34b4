// The settings text engine: an INI-style ANSI text held in memory, read and edited key by key.
#pragma once

#include <cstdint>

// The whole settings file as one zero-terminated ANSI byte string on the process heap.
// Absent (null) stands for no file: readers then give their defaults.
using SettingsText = char;

// Readers: the value of key in section, or the default when the text, the section or the
// key is missing.
int32_t GetIntValue(const char* section, const char* key, int32_t defaultValue,
                    const SettingsText* text);
uint32_t GetHexValue(const char* section, const char* key, uint32_t defaultValue,
                     const SettingsText* text);
int64_t GetInt64Value(const char* section, const char* key, int64_t defaultValue,
                      const SettingsText* text);
// Copies the value (or the default) into output of capacity wide characters, terminator
// included, and returns the characters stored. With no output, returns the value's size.
int GetTextValue(const char* section, const char* key, const wchar_t* defaultValue,
                 wchar_t* output, int capacity, const SettingsText* text);
