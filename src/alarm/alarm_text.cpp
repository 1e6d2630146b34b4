// The alarm's templates: escapes and fields expanded into a bounded buffer, and the log line.
#include "alarm/alarm_text.h"

#include "port/port.h"
#include "text/convert.h"

namespace {

// Writes number with at least width digits (zeros in front) at out when places (the
// terminator's included) allow need; returns the characters written.
int PutNumber(wchar_t* out, int places, int need, unsigned number, int width) {
    if (places < need)
        return 0;
    wchar_t digits[12];
    int n = FormatUInt64(number, digits, 12);
    int written = 0;
    for (int pad = n; pad < width; pad++)
        out[written++] = L'0';
    for (int k = 0; k < n; k++)
        out[written++] = digits[k];
    return written;
}

} // namespace

int ExpandAlarmText(const wchar_t* text, wchar_t* output, int capacity, int64_t value,
                    int64_t threshold, const CounterSlot* slot) {
    if (!output || capacity <= 0)
        return 0;
    output[0] = L'\0';
    if (!text || !text[0] || !slot)
        return 0;

    PortTime now;
    PortLocalTime(&now); // one reading for every field
    const int n = capacity - 1;
    int i = 0;
    const wchar_t* p = text;
    while (*p && i < n) {
        wchar_t c = *p;
        if ((c != L'\\' && c != L'%') || !p[1]) {
            output[i++] = c; // also a '\' or '%' that ends the template
            p++;
            continue;
        }
        wchar_t next = p[1];
        p += 2;
        int left = n - i;
        wchar_t* at = output + i;
        if (c == L'\\') {
            switch (next) {
            case L'\\':
                output[i++] = L'\\';
                break;
            case L'n':
                output[i++] = L'\n';
                break;
            case L'r':
                output[i++] = L'\r';
                break;
            case L'b':
                PortBeep();
                break;
            default:
                output[i++] = L'\\';
                if (i < n)
                    output[i++] = next;
                break;
            }
            continue;
        }
        switch (next) {
        case L'%':
            output[i++] = L'%';
            break;
        case L'y':
            i += PutNumber(at, left, 5, now.year, 1);
            break;
        case L'M':
            i += PutNumber(at, left, 3, now.month, 2);
            break;
        case L'd':
            i += PutNumber(at, left, 3, now.day, 2);
            break;
        case L'H':
            i += PutNumber(at, left, 3, now.hour, 2);
            break;
        case L'm':
            i += PutNumber(at, left, 3, now.minute, 2);
            break;
        case L's':
            i += PutNumber(at, left, 3, now.second, 2);
            break;
        case L'S':
            i += PutNumber(at, left, 4, now.milliseconds, 3);
            break;
        case L'D':
            i += PortShortDateText(&now, at, left);
            break;
        case L'T':
            i += PortTimeText(&now, at, left);
            break;
        case L'v':
            i += FormatInt64(value, at, left);
            break;
        case L'b':
            i += FormatInt64(threshold, at, left);
            break;
        case L't':
            i += CopyWideText(at, slot->Title, left);
            break;
        case L'u':
            i += CopyWideText(at, slot->Unit, left);
            break;
        default:
            output[i++] = L'%';
            if (i < n)
                output[i++] = next;
            break;
        }
    }
    output[i] = L'\0';
    return i;
}

size_t AppendAlarmLog(const CounterSlot* slot, int64_t value, int64_t threshold) {
    if (!slot || !slot->AlarmOption || !slot->AlarmOption[0] || !slot->AlarmFile)
        return 0;
    wchar_t line[AlarmLogChars];
    int k = ExpandAlarmText(slot->AlarmOption, line, AlarmLogChars, value, threshold, slot);
    if (k == 0)
        return 0;
    // Two bytes a character at most in the code pages with double-byte characters.
    char bytes[2 * AlarmLogChars - 1];
    int m = PortWideToAnsi(line, k, bytes, sizeof(bytes));
    if (m == 0)
        return 0;
    return PortAppendFile(slot->AlarmFile, bytes, static_cast<size_t>(m));
}
