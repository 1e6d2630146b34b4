// The settings text engine. Until files are read, every text is absent and readers give
// their defaults.
#include "settings/settings_text.h"

#include "settings/convert.h"

int32_t GetIntValue(const char*, const char*, int32_t defaultValue, const SettingsText*) {
    return defaultValue;
}

uint32_t GetHexValue(const char*, const char*, uint32_t defaultValue, const SettingsText*) {
    return defaultValue;
}

int64_t GetInt64Value(const char*, const char*, int64_t defaultValue, const SettingsText*) {
    return defaultValue;
}

int GetTextValue(const char*, const char*, const wchar_t* defaultValue, wchar_t* output,
                 int capacity, const SettingsText*) {
    const wchar_t* value = defaultValue ? defaultValue : L"";
    if (!output)
        return WideLength(value);
    if (capacity < 1)
        return 0;
    output[0] = L'\0';
    return CopyWideText(output, value, capacity);
}
