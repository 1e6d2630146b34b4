// Fuzzes loading and saving: arbitrary bytes as the settings file, loaded and saved; a second
// load must give the same records and a second save the same bytes, and a file the load
// refused must be left exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "loaded_records.h"
#include "port/port.h"
#include "port/port_test.h"
#include "settings/settings_store.h"
#include "settings/settings_text.h"

namespace {

std::string ReadAll(const char* path) {
    std::string bytes;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return "<missing>";
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

void WriteAll(const char* path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path, "wb");
    if (!file)
        std::abort();
    if (size && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "settings round trip broken: %s\n", what);
        std::abort();
    }
}

bool SameText(const wchar_t* a, const wchar_t* b) {
    if (!a || !b)
        return a == b;
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return *a == *b;
}

bool SameRecords(const SettingsRecords& a, const SettingsRecords& b) {
    if (std::memcmp(&a.Main, &b.Main, sizeof(a.Main)) ||
        std::memcmp(&a.Place, &b.Place, sizeof(a.Place)) ||
        std::memcmp(a.Style, b.Style, sizeof(a.Style)))
        return false;
    for (int i = 0; i < 2; i++) {
        CounterSlot x = a.Slot[i], y = b.Slot[i];
        if (!SameText(x.AlarmFile, y.AlarmFile) || !SameText(x.AlarmOption, y.AlarmOption))
            return false;
        x.AlarmFile = y.AlarmFile = nullptr;
        x.AlarmOption = y.AlarmOption = nullptr;
        x.Runtime = y.Runtime = nullptr;
        // Without a face name the font size and type are not kept: the save removes them.
        if (!x.Font[0])
            x.FontHigh = x.FontType = 0;
        if (!y.Font[0])
            y.FontHigh = y.FontType = 0;
        if (std::memcmp(&x, &y, sizeof(x)))
            return false;
    }
    return true;
}

std::string FuzzPath() {
    return "/dev/shm/ferro-roundtrip-" + std::to_string(getpid()) + ".ini";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the code page; the rest is the file.
    PortSetCodePage(data[0] & 1 ? 932 : 1252);
    static const std::string path = FuzzPath();
    static const std::wstring widePath(path.begin(), path.end());
    WriteAll(path.c_str(), data + 1, size - 1);
    const std::string original = ReadAll(path.c_str());

    LoadedRecords first;
    int read = LoadSettingsFile(widePath.c_str(), &first.records, first.runs);
    SettingsSaveResult saved = SaveSettingsFile(widePath.c_str(), &first.records);
    const std::string once = ReadAll(path.c_str());
    if (saved == SettingsSaveResult::Refused || saved == SettingsSaveResult::Failed) {
        Check(read == 0 || saved == SettingsSaveResult::Failed, "a read file was refused");
        Check(once == original, "a file that was not saved is unchanged");
    }

    LoadedRecords second;
    LoadSettingsFile(widePath.c_str(), &second.records, second.runs);
    if (saved == SettingsSaveResult::Created || saved == SettingsSaveResult::Replaced)
        Check(SameRecords(first.records, second.records), "a second load gives the same records");
    SaveSettingsFile(widePath.c_str(), &second.records);
    Check(ReadAll(path.c_str()) == once, "a second save gives the same bytes");

    unlink(path.c_str());
    PortSetCodePage(1252);
    return 0;
}
