// The settings file and its text: read whole into a settings text, and replaced in one step.
#include "settings/settings_text_file.h"

#include <cstring>

#include "port/port.h"
#include "text/convert.h"

namespace {

constexpr char Utf16Mark[] = "\xFF\xFE";
constexpr int MarkBytes16 = 2;

bool StartsWith(const char* data, size_t size, const char* mark, size_t markBytes) {
    return size >= markBytes && std::memcmp(data, mark, markBytes) == 0;
}

// The UTF-16 text of the file's bytes after its mark as UTF-8 text with its mark, on the heap;
// null with *error set when it is no text the program can hold.
char* Utf16Text(const char* data, size_t size, uint32_t* error) {
    const char* units = data + MarkBytes16;
    int count = static_cast<int>(size - MarkBytes16);
    if (count % 2 != 0) {
        *error = PortErrorNoUnicodeTranslation; // it ends within a character
        return nullptr;
    }
    for (int i = 0; i < count; i += 2) {
        if (units[i] == '\0' && units[i + 1] == '\0') {
            *error = PortErrorInvalidData; // as a zero byte of a file in the code page
            return nullptr;
        }
    }
    int bytes = Utf16LeToUtf8(units, count, nullptr, 0);
    char* text =
        static_cast<char*>(PortHeapAlloc(static_cast<size_t>(SettingsUtf8MarkBytes + bytes + 1)));
    if (!text) {
        *error = PortErrorNoMemory;
        return nullptr;
    }
    std::memcpy(text, SettingsUtf8Mark, SettingsUtf8MarkBytes);
    Utf16LeToUtf8(units, count, text + SettingsUtf8MarkBytes, bytes);
    text[SettingsUtf8MarkBytes + bytes] = '\0';
    return text;
}

} // namespace

SettingsText* ReadSettingsFile(const wchar_t* path, SettingsFileStatus* status, uint32_t* error,
                               SettingsFileForm* form) {
    SettingsFileStatus result = SettingsFileStatus::Absent;
    SettingsFileForm bytesForm = SettingsFileForm::Bytes;
    uint32_t code = 0;
    char* data = nullptr;
    size_t size = 0;
    switch (PortReadFile(path, SettingsFileMaxBytes, &data, &size, &code)) {
    case PortReadStatus::Read:
        if (size == 0) {
            PortHeapFree(data);
            data = nullptr;
        } else if (StartsWith(data, size, Utf16Mark, MarkBytes16)) {
            char* text = Utf16Text(data, size, &code);
            PortHeapFree(data);
            data = text;
            result = data ? SettingsFileStatus::Read : SettingsFileStatus::Refused;
            bytesForm = SettingsFileForm::Utf16;
        } else if (std::memchr(data, '\0', size)) {
            // A zero byte (a file saved as UTF-16 without its mark, say) would cut the text
            // there, and a save would write the cut text back: such a file is left alone.
            PortHeapFree(data);
            data = nullptr;
            result = SettingsFileStatus::Refused;
            code = PortErrorInvalidData;
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
    if (error && result == SettingsFileStatus::Refused)
        *error = code;
    if (form)
        *form = bytesForm;
    return data;
}

bool WriteSettingsFile(const wchar_t* path, const SettingsText* text, uint32_t* error,
                       SettingsFileForm form) {
    if (!path)
        return false;
    const char* bytes = text ? text : "";
    size_t length = std::strlen(bytes);
    char* wide = nullptr;
    if (form == SettingsFileForm::Utf16) {
        // The text is UTF-8 with its mark, as the read made it.
        const char* body = bytes;
        if (StartsWith(bytes, length, SettingsUtf8Mark, SettingsUtf8MarkBytes))
            body += SettingsUtf8MarkBytes;
        int count = static_cast<int>(length - static_cast<size_t>(body - bytes));
        int units = Utf8ToUtf16Le(body, count, nullptr, 0);
        wide = static_cast<char*>(PortHeapAlloc(static_cast<size_t>(MarkBytes16 + units)));
        if (!wide) {
            if (error)
                *error = PortErrorNoMemory;
            return false;
        }
        std::memcpy(wide, Utf16Mark, MarkBytes16);
        Utf8ToUtf16Le(body, count, wide + MarkBytes16, units);
        bytes = wide;
        length = static_cast<size_t>(MarkBytes16 + units);
    }
    bool written = false;
    // A file the load would refuse is not written: the one the user has stays readable, though
    // this save is lost.
    if (length > static_cast<size_t>(SettingsFileMaxBytes)) {
        if (error)
            *error = PortErrorFileTooLarge;
    } else {
        written = PortReplaceFile(path, bytes, length, error);
    }
    PortHeapFree(wide);
    return written;
}
