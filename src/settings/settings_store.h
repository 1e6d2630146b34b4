// Where the settings file is, and loading and saving the records from and to it.
#pragma once

#include "settings/settings_model.h"
#include "settings/settings_text_file.h"

// The settings file's path (PathChars characters) for the settings argument and the program's
// own path: the argument itself, without one pair of double quotes around it, when it ends in
// ".ini" in any letter case, else the program's path with its extension replaced by "ini".
// Returns 1, or 0 when no path fits.
int ResolveSettingsPath(const wchar_t* argument, const wchar_t* modulePath, wchar_t* path);

// Fills every record from the file at path (null: no file), or with the defaults where the
// file or a value is missing; a file that was not taken whole counts as missing. Links each
// slot's Runtime to runs[index]. Returns 1 when a settings file was read, else 0; status (when
// given) tells whether the file was read, absent or refused, and error (when given) the error
// code of a refused file.
int LoadSettingsFile(const wchar_t* path, SettingsRecords* records, CounterRun* runs,
                     SettingsFileStatus* status = nullptr, uint32_t* error = nullptr);

enum class SettingsSaveResult {
    Created,  // there was no file: a new one holds the records
    Replaced, // the file now holds the records among everything else it had
    Refused,  // the file exists but was not read whole: it is left as it was
    Failed,   // no path, no memory, or the new file could not be written: nothing changed
};
// Writes the records into the file at path, keeping everything else the file holds. error
// (when given) receives the system's error code of a result Refused or Failed.
SettingsSaveResult SaveSettingsFile(const wchar_t* path, const SettingsRecords* records,
                                    uint32_t* error = nullptr);
