// The settings file and its text: read whole into a settings text, and replaced in one step.
#pragma once

#include <cstdint>

#include "settings/settings_text.h"

// The largest settings file that is read, in bytes.
constexpr int SettingsFileMaxBytes = 65535;

enum class SettingsFileStatus {
    Read,    // the whole file is in the text
    Absent,  // no file, or an empty one: a save may create it
    Refused, // a file that was not taken whole (too large, unreadable, holding a zero byte):
             // the program runs on its defaults and never overwrites it
};

// The file's bytes and a terminator as a new text, or absent; status (when given) tells why,
// and error (when given) the system's error code of a refused file.
SettingsText* ReadSettingsFile(const wchar_t* path, SettingsFileStatus* status,
                               uint32_t* error = nullptr);
// Replaces the file with the bytes of text up to its terminator, in one step. Returns false,
// with the old file as it was, when the new one could not be written whole; error (when given)
// then receives the system's error code.
bool WriteSettingsFile(const wchar_t* path, const SettingsText* text, uint32_t* error = nullptr);
