// Where the settings file is, and loading and saving the records from and to it. Every save
// edits the file's own text, so its comments and foreign keys stay in their places.
#include "settings/settings_store.h"

#include "port/port.h"
#include "settings/settings_schema.h"
#include "settings/settings_text.h"
#include "text/convert.h"

namespace {

constexpr wchar_t IniExtension[] = L"ini";

bool EndsInIni(const wchar_t* text) {
    int dot = ExtensionDotOffset(text);
    if (dot == 0)
        return false;
    const wchar_t* extension = text + dot + 1;
    return WideLength(extension) == WideLength(IniExtension) &&
           CompareNoCase(extension, IniExtension) == 0;
}

} // namespace

int ResolveSettingsPath(const wchar_t* argument, const wchar_t* modulePath, wchar_t* path) {
    path[0] = L'\0';
    // One pair of double quotes around the argument, as Windows writes a path with blanks on a
    // command line (a shortcut's, the sign-in entry's), is not part of the name: no file name
    // holds a double quote.
    int length = argument ? WideLength(argument) : 0;
    if (length >= 2 && argument[0] == L'"' && argument[length - 1] == L'"') {
        if (length - 2 < PathChars) {
            CopyWideText(path, argument + 1, length - 1);
            if (EndsInIni(path))
                return 1;
        }
        path[0] = L'\0';
    } else if (argument && EndsInIni(argument) && length < PathChars) {
        CopyWideText(path, argument, PathChars);
        return 1;
    }
    length = WideLength(modulePath);
    if (length == 0)
        return 0;
    int name = FileNameOffset(modulePath);
    int dot = ExtensionDotOffset(modulePath + name);
    int keep = dot ? name + dot : length;
    if (keep + 4 + 1 > PathChars)
        return 0;
    for (int i = 0; i < keep; i++)
        path[i] = modulePath[i];
    path[keep] = L'.';
    for (int i = 0; i < 3; i++)
        path[keep + 1 + i] = IniExtension[i];
    path[keep + 4] = L'\0';
    return 1;
}

int LoadSettingsFile(const wchar_t* path, SettingsRecords* records, CounterRun* runs,
                     SettingsFileStatus* status, uint32_t* error) {
    if (status)
        *status = SettingsFileStatus::Absent;
    SettingsText* text = path ? ReadSettingsFile(path, status, error) : nullptr;
    LoadSettingsRecords(text, records, runs);
    int read = text ? 1 : 0;
    FreeSettingsText(text);
    return read;
}

SettingsSaveResult SaveSettingsFile(const wchar_t* path, const SettingsRecords* records,
                                    uint32_t* error) {
    uint32_t code = PortErrorAccessDenied;
    SettingsSaveResult result = SettingsSaveResult::Failed;
    SettingsFileStatus status = SettingsFileStatus::Absent;
    SettingsFileForm form = SettingsFileForm::Bytes;
    SettingsText* text = path ? ReadSettingsFile(path, &status, &code, &form) : nullptr;
    if (!path) {
        code = PortErrorPathNotFound;
    } else if (status == SettingsFileStatus::Refused) {
        result = SettingsSaveResult::Refused;
    } else {
        bool failed = false;
        text = SaveSettingsRecords(records, text, &failed);
        code = PortErrorNoMemory;
        if (!failed)
            failed = !WriteSettingsFile(path, text, &code, form);
        if (!failed)
            result = status == SettingsFileStatus::Read ? SettingsSaveResult::Replaced
                                                        : SettingsSaveResult::Created;
    }
    FreeSettingsText(text);
    if (error && (result == SettingsSaveResult::Refused || result == SettingsSaveResult::Failed))
        *error = code;
    return result;
}
