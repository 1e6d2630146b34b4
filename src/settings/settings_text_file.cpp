// The settings file and its text: read whole into a settings text, and replaced in one step.
#include "settings/settings_text_file.h"

#include <cstring>

#include "port/port.h"

SettingsText* ReadSettingsFile(const wchar_t* path, SettingsFileStatus* status, uint32_t* error) {
    SettingsFileStatus result = SettingsFileStatus::Absent;
    char* data = nullptr;
    size_t size = 0;
    switch (PortReadFile(path, SettingsFileMaxBytes, &data, &size, error)) {
    case PortReadStatus::Read:
        if (size == 0) {
            PortHeapFree(data);
            data = nullptr;
        } else if (std::memchr(data, '\0', size)) {
            // A zero byte (a file saved as UTF-16, say) would cut the text there, and a save
            // would write the cut text back: such a file is left alone.
            PortHeapFree(data);
            data = nullptr;
            result = SettingsFileStatus::Refused;
            if (error)
                *error = PortErrorInvalidData;
        } else {
            result = SettingsFileStatus::Read;
        }
        break;
    case PortReadStatus::Missing:
        break;
    case PortReadStatus::TooLarge:
    case PortReadStatus::Unreadable:
        result = SettingsFileStatus::Refused;
        break;
    }
    if (status)
        *status = result;
    return data;
}

bool WriteSettingsFile(const wchar_t* path, const SettingsText* text, uint32_t* error) {
    if (!path)
        return false;
    const char* bytes = text ? text : "";
    return PortReplaceFile(path, bytes, std::strlen(bytes), error);
}
