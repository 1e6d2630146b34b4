// Fuzzes the alarm's template expansion: any template, title, unit, value, threshold and local
// time, into a heap buffer of exactly the capacity the input asks for. The result must be the
// expansion a plain model of the documented rules gives, terminated within the capacity; the log
// line must append exactly the bytes it reports.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "alarm/alarm_text.h"
#include "fuzz_input.h"
#include "port/port.h"
#include "port/port_test.h"
#include "settings/settings_model.h"

namespace {

const char Target[] = "alarm text";

std::wstring Widen(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

std::wstring Number(unsigned number, int width) {
    char text[16];
    std::snprintf(text, sizeof(text), "%0*u", width, number);
    return Widen(text);
}

// The value fields: the leading digits that the places left allow, one place kept spare, and
// no sign without a digit; a zero needs no spare place.
std::wstring CutInt64(int64_t value, size_t left) {
    if (left < 2)
        return L"";
    if (value == 0)
        return L"0";
    char text[24];
    std::snprintf(text, sizeof(text), "%lld", static_cast<long long>(value));
    std::wstring all = Widen(text);
    size_t sign = value < 0 ? 1 : 0;
    if (left < 2 + sign + 1)
        return L"";
    size_t digits = all.size() - sign;
    if (digits > left - 2 - sign)
        digits = left - 2 - sign;
    return all.substr(0, sign + digits);
}

struct Model {
    std::wstring text;
    unsigned beeps;
};

// The expansion by the documented rules: fields that need more places than are left are left
// out, value fields keep their leading digits, the title and unit are cut, an unknown escape is
// kept as written.
Model Expand(const std::wstring& templ, int capacity, int64_t value, int64_t threshold,
             const std::wstring& title, const std::wstring& unit, const PortTime& now) {
    Model model{L"", 0};
    std::wstring& out = model.text;
    if (capacity <= 0)
        return model;
    const size_t n = static_cast<size_t>(capacity) - 1;
    size_t k = 0;
    while (k < templ.size() && out.size() < n) {
        wchar_t c = templ[k];
        if ((c != L'\\' && c != L'%') || k + 1 == templ.size()) {
            out += c;
            k++;
            continue;
        }
        wchar_t next = templ[k + 1];
        k += 2;
        const size_t left = n - out.size();
        auto whole = [&](const std::wstring& field, size_t need) {
            if (left >= need)
                out += field;
        };
        auto cut = [&](const std::wstring& field, size_t room) { out += field.substr(0, room); };
        char text[32];
        if (c == L'\\') {
            switch (next) {
            case L'\\':
                out += L'\\';
                break;
            case L'n':
                out += L'\n';
                break;
            case L'r':
                out += L'\r';
                break;
            case L'b':
                model.beeps++;
                break;
            default:
                cut(std::wstring{L'\\', next}, left);
                break;
            }
            continue;
        }
        switch (next) {
        case L'%':
            out += L'%';
            break;
        case L'y':
            whole(Number(now.year, 1), 5);
            break;
        case L'M':
            whole(Number(now.month, 2), 3);
            break;
        case L'd':
            whole(Number(now.day, 2), 3);
            break;
        case L'H':
            whole(Number(now.hour, 2), 3);
            break;
        case L'm':
            whole(Number(now.minute, 2), 3);
            break;
        case L's':
            whole(Number(now.second, 2), 3);
            break;
        case L'S':
            whole(Number(now.milliseconds, 3), 4);
            break;
        case L'D': // the port's imitation of the short date format
            std::snprintf(text, sizeof(text), "%04u/%02u/%02u", now.year, now.month, now.day);
            whole(Widen(text), std::strlen(text) + 1);
            break;
        case L'T':
            std::snprintf(text, sizeof(text), "%u:%02u:%02u", now.hour, now.minute, now.second);
            whole(Widen(text), std::strlen(text) + 1);
            break;
        case L'v':
            out += CutInt64(value, left);
            break;
        case L'b':
            out += CutInt64(threshold, left);
            break;
        case L't':
            cut(title, left - 1);
            break;
        case L'u':
            cut(unit, left - 1);
            break;
        default:
            cut(std::wstring{L'%', next}, left);
            break;
        }
    }
    return model;
}

void CopyField(wchar_t* field, const std::wstring& text) {
    for (size_t i = 0; i < text.size(); i++)
        field[i] = text[i];
    field[text.size()] = L'\0';
}

std::string LogPath() {
    return "/dev/shm/ferro-alarm-log-" + std::to_string(getpid()) + ".txt";
}

off_t FileSize(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 ? info.st_size : 0;
}

// The log line of the slot: the whole expanded line in the ANSI code page, the bytes reported
// being those the file holds.
void CheckLog(CounterSlot* slot, const std::wstring& templ, int64_t value, int64_t threshold) {
    static const std::string path = LogPath();
    static const std::wstring widePath(path.begin(), path.end());
    slot->AlarmOption = const_cast<wchar_t*>(templ.c_str());
    slot->AlarmFile = const_cast<wchar_t*>(widePath.c_str());
    wchar_t line[AlarmLogChars];
    int k = ExpandAlarmText(templ.c_str(), line, AlarmLogChars, value, threshold, slot);
    size_t needed = k > 0 ? static_cast<size_t>(PortWideToAnsi(line, k, nullptr, 0)) : 0;
    size_t written = AppendAlarmLog(slot, value, threshold);
    FuzzCheck(written == needed, Target, "the log line is written whole");
    FuzzCheck(FileSize(path.c_str()) == static_cast<off_t>(written), Target,
              "the log grows by the bytes reported");
    unlink(path.c_str());
    slot->AlarmOption = nullptr;
    slot->AlarmFile = nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    uint8_t flags = in.Byte();
    // Every capacity from below zero to past the parameters' AlarmParameterChars.
    const int capacity = static_cast<int>(in.Word() % (AlarmParameterChars + 43)) - 2;
    const int64_t value = in.Value();
    const int64_t threshold = in.Value();
    // A local time as the system clock can give it.
    PortTime now;
    now.year = static_cast<uint16_t>(1601 + in.Word() % (30827 - 1600));
    now.month = static_cast<uint16_t>(1 + in.Byte() % 12);
    now.day = static_cast<uint16_t>(1 + in.Byte() % 31);
    now.hour = static_cast<uint16_t>(in.Byte() % 24);
    now.minute = static_cast<uint16_t>(in.Byte() % 60);
    now.second = static_cast<uint16_t>(in.Byte() % 60);
    now.milliseconds = static_cast<uint16_t>(in.Word() % 1000);
    PortSetLocalTime(&now);
    const std::wstring title = in.Text(TitleChars - 1);
    const std::wstring unit = in.Text(UnitChars - 1);
    const std::wstring templ = in.Text(4 * AlarmParameterChars);

    // The slot and the template on the heap at their exact sizes, as are the texts they hold.
    CounterSlot* slot = static_cast<CounterSlot*>(std::calloc(1, sizeof(CounterSlot)));
    CopyField(slot->Title, title);
    CopyField(slot->Unit, unit);
    wchar_t* text = static_cast<wchar_t*>(std::malloc((templ.size() + 1) * sizeof(wchar_t)));
    CopyField(text, templ);
    // A capacity of 0 or less gets a buffer of one place, which must stay as it was.
    const size_t places = capacity > 0 ? static_cast<size_t>(capacity) : 1;
    wchar_t* output = static_cast<wchar_t*>(std::malloc(places * sizeof(wchar_t)));
    for (size_t i = 0; i < places; i++)
        output[i] = L'#';

    const unsigned beepsBefore = PortBeepCount();
    const int length = ExpandAlarmText(text, output, capacity, value, threshold, slot);
    const Model model = Expand(templ, capacity, value, threshold, title, unit, now);
    if (capacity <= 0) {
        FuzzCheck(length == 0 && output[0] == L'#', Target, "no capacity writes nothing");
    } else {
        FuzzCheck(length >= 0 && length < capacity, Target, "the length is within the capacity");
        FuzzCheck(output[length] == L'\0', Target, "the text ends at its length");
        FuzzCheck(std::wstring(output, static_cast<size_t>(length)) == model.text, Target,
                  "the expansion follows the rules");
        FuzzCheck(PortBeepCount() - beepsBefore == model.beeps, Target,
                  "every beep escape beeps once");
    }
    if (capacity > 0 && (flags & 1)) {
        FuzzCheck(ExpandAlarmText(text, output, capacity, value, threshold, nullptr) == 0 &&
                      output[0] == L'\0',
                  Target, "no slot gives the empty text");
    }
    if (flags & 2) {
        PortSetCodePage(flags & 4 ? 932 : 1252);
        CheckLog(slot, templ, value, threshold);
        PortSetCodePage(1252);
    }

    std::free(output);
    std::free(text);
    std::free(slot);
    return 0;
}
