// The settings file and its text: read whole into a settings text, and replaced in one step.
#pragma once

#include <cstdint>

#include "settings/settings_text.h"

// The largest settings file that is read or written, in bytes.
constexpr int SettingsFileMaxBytes = 65535;

enum class SettingsFileStatus {
    Read,    // the whole file is in the text
    Absent,  // no file, or an empty one: a save may create it
    Refused, // a file that was not taken whole (too large, unreadable, holding a zero byte):
             // the program runs on its defaults and never overwrites it
};

// How the file's bytes stand for its text. A file of UTF-16 little-endian text with its
// byte-order mark, as Windows' own profile functions read and write it (Notepad's "Unicode"),
// is held as UTF-8 text with its mark while it is read and edited, and written back as it was.
enum class SettingsFileForm {
    Bytes, // the ANSI code page, or UTF-8 with its mark: the text is the file's bytes
    Utf16, // UTF-16 little-endian with its mark
};

// The file's bytes and a terminator as a new text, or absent; status (when given) tells why,
// error (when given) the system's error code of a refused file, and form (when given) how the
// file's bytes stand for the text.
SettingsText* ReadSettingsFile(const wchar_t* path, SettingsFileStatus* status,
                               uint32_t* error = nullptr, SettingsFileForm* form = nullptr);
// Replaces the file with the text up to its terminator, in form, in one step. A file the read
// would refuse as too large is not written. Returns false, with the old file as it was, when
// the new one could not be written whole; error (when given) then receives the system's error
// code (PortErrorFileTooLarge for a text too large).
bool WriteSettingsFile(const wchar_t* path, const SettingsText* text, uint32_t* error = nullptr,
                       SettingsFileForm form = SettingsFileForm::Bytes);
