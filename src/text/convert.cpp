// Number and text conversions. The core has its own string routines so that it behaves the
// same with the 16-bit wchar_t of Windows and the 32-bit one of the Linux host.
#include "text/convert.h"

#include "port/port.h"

namespace {

constexpr uint64_t Int64Limit = 9223372036854775807u;

template <typename Char> bool IsBlank(Char c) {
    return c == ' ' || c == '\t';
}

template <typename Char> bool IsDigit(Char c) {
    return c >= '0' && c <= '9';
}

// The signed decimal parse on either kind of text, with the limits of Unsigned's signed
// counterpart: blanks, an optional sign, then digits until one would pass the limit.
template <typename Unsigned, typename Char>
Unsigned ParseDecimal(const Char* text, const Char** end, Unsigned positiveLimit) {
    if (end)
        *end = text;
    if (!text)
        return 0;
    const Char* p = text;
    while (IsBlank(*p))
        p++;
    Unsigned limit = positiveLimit;
    bool negative = false;
    if (*p == '+') {
        p++;
    } else if (*p == '-') {
        p++;
        limit = positiveLimit + 1;
        negative = true;
    }
    const Char* digits = p;
    Unsigned value = 0;
    for (; IsDigit(*p); p++) {
        Unsigned d = static_cast<Unsigned>(*p - '0');
        if ((limit - d) / 10 < value) {
            value = limit;
            break;
        }
        value = value * 10 + d;
    }
    if (end && p != digits)
        *end = p;
    // Unsigned negation, so that the magnitude of the negative limit comes out right.
    return negative ? 0 - value : value;
}

} // namespace

int WideLength(const wchar_t* text) {
    int n = 0;
    if (text)
        while (text[n])
            n++;
    return n;
}

int32_t ParseInt32(const char* text) {
    return static_cast<int32_t>(ParseDecimal<uint32_t, char>(text, nullptr, 2147483647u));
}

uint32_t ParseHex32(const char* text) {
    if (!text)
        return 0;
    while (IsBlank(*text))
        text++;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text += 2;
    uint32_t value = 0;
    for (int n = 0; n < 8; n++, text++) {
        char c = *text;
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

int64_t ParseInt64(const char* text, const char** end) {
    return static_cast<int64_t>(ParseDecimal<uint64_t>(text, end, Int64Limit));
}

int64_t ParseInt64Wide(const wchar_t* text, const wchar_t** end) {
    return static_cast<int64_t>(ParseDecimal<uint64_t>(text, end, Int64Limit));
}

int FormatUInt64(uint64_t value, wchar_t* output, int capacity) {
    wchar_t digits[20]; // 18446744073709551615 has 20
    int count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value);
    if (!output)
        return count + 1;
    if (capacity < 1)
        return 0;
    int kept = count < capacity - 1 ? count : capacity - 1;
    // The most significant digits are the last ones produced; a cut drops the trailing ones.
    for (int i = 0; i < kept; i++)
        output[i] = digits[count - 1 - i];
    output[kept] = L'\0';
    return kept;
}

int FormatInt64(int64_t value, wchar_t* output, int capacity) {
    if (!output || capacity < 2)
        return 0;
    if (value == 0) {
        output[0] = L'0';
        output[1] = L'\0';
        return 1;
    }
    int sign = 0;
    uint64_t magnitude = static_cast<uint64_t>(value);
    if (value < 0) {
        output[0] = L'-';
        sign = 1;
        magnitude = 0 - magnitude;
    }
    // The digits are handed one place less than they could use; callers size their buffers
    // with that place to spare.
    int digits = FormatUInt64(magnitude, output + sign, capacity - 1 - sign);
    if (digits == 0) {
        output[0] = L'\0'; // no digit fits: no lone sign either
        return 0;
    }
    return sign + digits;
}

int CopyMultiByteText(char* destination, const char* source, int capacity) {
    if (!destination || !source || capacity < 2 || !source[0])
        return 0;
    int n = 0;
    while (n < capacity - 1 && source[n]) {
        if (PortIsLeadByte(static_cast<unsigned char>(source[n]))) {
            // Half a double-byte character would turn the text after it into other
            // characters; stop before one that does not fit whole or has lost its trail byte.
            if (n + 2 > capacity - 1 || !source[n + 1])
                break;
            destination[n] = source[n];
            destination[n + 1] = source[n + 1];
            n += 2;
        } else {
            destination[n] = source[n];
            n++;
        }
    }
    destination[n] = '\0';
    return n;
}

int CopyWideText(wchar_t* destination, const wchar_t* source, int capacity) {
    if (!destination || !source || capacity < 2 || !source[0])
        return 0;
    return AppendWideText(destination, 0, capacity, source, capacity);
}

int AppendWideText(wchar_t* output, int length, int capacity, const wchar_t* source, int count) {
    while (count > 0 && *source && length < capacity - 1) {
        output[length++] = *source++;
        count--;
    }
    output[length] = L'\0';
    return length;
}

namespace {

constexpr uint32_t Replacement = 0xFFFD;

// The code point at text (count bytes left, at least 1) and the bytes it takes. Overlong forms,
// surrogates, values past U+10FFFF and cut sequences take one byte and give U+FFFD, so that
// the next byte is read afresh.
int DecodeUtf8(const char* text, int count, uint32_t* point, bool surrogates) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    uint32_t lead = s[0];
    if (lead < 0x80) {
        *point = lead;
        return 1;
    }
    // The sequence's length, the least value it may carry, and the lead byte's value bits.
    int n = lead >= 0xC2 && lead <= 0xDF   ? 2
            : lead >= 0xE0 && lead <= 0xEF ? 3
            : lead >= 0xF0 && lead <= 0xF4 ? 4
                                           : 0;
    if (n == 0) {
        *point = Replacement;
        return 1;
    }
    static const uint32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    uint32_t least = Least[n];
    uint32_t value = lead & (0x7Fu >> n);
    for (int i = 1; i < n; i++) {
        if (i >= count || (s[i] & 0xC0) != 0x80) {
            *point = Replacement;
            return 1;
        }
        value = (value << 6) | (s[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF ||
        (!surrogates && value >= 0xD800 && value <= 0xDFFF)) {
        *point = Replacement;
        return 1;
    }
    *point = value;
    return n;
}

int DecodeUtf8(const char* text, int count, uint32_t* point) {
    return DecodeUtf8(text, count, point, false);
}

// As DecodeUtf8, but the three-byte form of a surrogate gives that surrogate: the way back from
// UTF-16 text with a surrogate that lost its partner.
int DecodeUtf8Surrogates(const char* text, int count, uint32_t* point) {
    return DecodeUtf8(text, count, point, true);
}

// The unit of UTF-16 little-endian text at bytes.
uint32_t Utf16Unit(const char* bytes) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<uint32_t>(b[0] | (b[1] << 8));
}

// The code point at UTF-16 little-endian bytes (count bytes left, at least 2) and the bytes it
// takes: four for a surrogate pair, two for any other unit, a lone surrogate included.
int DecodeUtf16Le(const char* bytes, int count, uint32_t* point) {
    if (count < 2) {
        *point = Replacement;
        return count;
    }
    uint32_t unit = Utf16Unit(bytes);
    if (unit >= 0xD800 && unit <= 0xDBFF && count >= 4) {
        uint32_t low = Utf16Unit(bytes + 2);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            *point = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            return 4;
        }
    }
    *point = unit;
    return 2;
}

// Writes point as UTF-16 little-endian bytes at output (when given); returns how many it takes.
int EncodeUtf16Le(uint32_t point, char* output) {
    uint32_t units[2] = {point, 0};
    int n = 1;
    if (point >= 0x10000) {
        units[0] = 0xD800 + ((point - 0x10000) >> 10);
        units[1] = 0xDC00 + ((point - 0x10000) & 0x3FF);
        n = 2;
    }
    if (output) {
        for (int i = 0; i < n; i++) {
            output[2 * i] = static_cast<char>(units[i] & 0xFF);
            output[2 * i + 1] = static_cast<char>(units[i] >> 8);
        }
    }
    return 2 * n;
}

// The code point at text (count characters left, at least 1) and the characters it takes: a
// surrogate pair where wchar_t has 16 bits.
int DecodeWide(const wchar_t* text, int count, uint32_t* point) {
    uint32_t unit = static_cast<uint32_t>(text[0]);
    if (sizeof(wchar_t) == 2 && unit >= 0xD800 && unit <= 0xDBFF && count > 1) {
        uint32_t low = static_cast<uint32_t>(text[1]) & 0xFFFF;
        if (low >= 0xDC00 && low <= 0xDFFF) {
            *point = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            return 2;
        }
    }
    if (sizeof(wchar_t) == 2)
        unit &= 0xFFFF;
    *point = (unit >= 0xD800 && unit <= 0xDFFF) || unit > 0x10FFFF ? Replacement : unit;
    return 1;
}

// Writes point as wide characters at output (when given); returns how many it takes.
int EncodeWide(uint32_t point, wchar_t* output) {
    if (sizeof(wchar_t) == 2 && point >= 0x10000) {
        if (output) {
            output[0] = static_cast<wchar_t>(0xD800 + ((point - 0x10000) >> 10));
            output[1] = static_cast<wchar_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
        }
        return 2;
    }
    if (output)
        output[0] = static_cast<wchar_t>(point);
    return 1;
}

// Writes point as UTF-8 at output (when given); returns how many bytes it takes.
int EncodeUtf8(uint32_t point, char* output) {
    int n = point < 0x80 ? 1 : point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
    if (output) {
        static const unsigned char Lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
        for (int i = n - 1; i > 0; i--) {
            output[i] = static_cast<char>(0x80 | (point & 0x3F));
            point >>= 6;
        }
        output[0] = static_cast<char>(n == 1 ? point : (Lead[n] | point));
    }
    return n;
}

// Converts count units of text, read one code point at a time by decode, into units written
// by encode; the contract of Utf8ToWide and WideToUtf8.
template <typename From, typename To>
int Recode(const From* text, int count, To* output, int capacity,
           int (*decode)(const From*, int, uint32_t*), int (*encode)(uint32_t, To*)) {
    if (!text || count <= 0)
        return 0;
    auto run = [&](To* into) {
        int n = 0;
        for (int i = 0; i < count;) {
            uint32_t point;
            i += decode(text + i, count - i, &point);
            n += encode(point, into ? into + n : nullptr);
        }
        return n;
    };
    int needed = run(nullptr);
    if (!output)
        return needed;
    return needed > capacity ? 0 : run(output);
}

} // namespace

int Utf8ToWide(const char* text, int count, wchar_t* output, int capacity) {
    return Recode(text, count, output, capacity, DecodeUtf8, EncodeWide);
}

int WideToUtf8(const wchar_t* text, int count, char* output, int capacity) {
    return Recode(text, count, output, capacity, DecodeWide, EncodeUtf8);
}

int Utf16LeToUtf8(const char* bytes, int count, char* output, int capacity) {
    return Recode(bytes, count, output, capacity, DecodeUtf16Le, EncodeUtf8);
}

int Utf8ToUtf16Le(const char* text, int count, char* output, int capacity) {
    return Recode(text, count, output, capacity, DecodeUtf8Surrogates, EncodeUtf16Le);
}

int FileNameOffset(const wchar_t* path) {
    if (!path)
        return 0;
    int offset = 0;
    for (const wchar_t* p = path; *p;) {
        const wchar_t* next = PortCharNextW(p);
        if (*p == L'\\' || *p == L'/' || *p == L':')
            offset = static_cast<int>(next - path);
        p = next;
    }
    return offset;
}

int ExtensionDotOffset(const wchar_t* text) {
    if (!text)
        return 0;
    int offset = 0;
    for (const wchar_t* p = text; *p; p = PortCharNextW(p))
        if (*p == L'.')
            offset = static_cast<int>(p - text);
    return offset;
}

int CompareNoCase(const wchar_t* a, const wchar_t* b) {
    if (!a || !b)
        return 0;
    for (; *a && *b; a++, b++) {
        wchar_t la = PortToLowerWide(*a);
        wchar_t lb = PortToLowerWide(*b);
        if (la != lb)
            return static_cast<int>(la) - static_cast<int>(lb);
    }
    return 0;
}
