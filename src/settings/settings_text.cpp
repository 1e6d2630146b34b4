// The settings text engine: its own scanner over the file's text, so that comments, unknown
// keys and foreign sections stay where they are when the program writes its values.
#include "settings/settings_text.h"

#include <cstddef>
#include <cstring>

#include "port/port.h"
#include "text/convert.h"

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

// The text that a write on an absent text starts from.
constexpr size_t EmptyTextBytes = 4;

// How the bytes of a text make characters. Editors on current systems save INI files as UTF-8,
// often with its byte-order mark: a text that starts with the mark is UTF-8 throughout and
// keeps the mark, any other is in the system's ANSI code page.
enum class TextCode { Ansi, Utf8 };

TextCode CodeOf(const char* text) {
    return std::strncmp(text, SettingsUtf8Mark, SettingsUtf8MarkBytes) == 0 ? TextCode::Utf8
                                                                            : TextCode::Ansi;
}

// Where the text's lines begin: after the mark of a UTF-8 text.
const char* Body(const char* text, TextCode code) {
    return code == TextCode::Utf8 ? text + SettingsUtf8MarkBytes : text;
}

int TextToWide(TextCode code, const char* text, int count, wchar_t* output, int capacity) {
    return code == TextCode::Utf8 ? Utf8ToWide(text, count, output, capacity)
                                  : PortAnsiToWide(text, count, output, capacity);
}

int WideToText(TextCode code, const wchar_t* text, int count, char* output, int capacity) {
    return code == TextCode::Utf8 ? WideToUtf8(text, count, output, capacity)
                                  : PortWideToAnsi(text, count, output, capacity);
}

bool IsLineEnd(char c) {
    return c == '\0' || c == CR || c == LF;
}

// The characters of value before its first line break: a value is one line, and a break
// written into the file would start a key or a section of its own there.
int OneLineLength(const wchar_t* value) {
    int n = 0;
    if (value)
        while (value[n] && value[n] != L'\r' && value[n] != L'\n')
            n++;
    return n;
}

// The next character. Every byte of a UTF-8 sequence is 0x80 or above, so a UTF-8 text is
// stepped by bytes. In the code page, a lead byte that has lost its trail byte to a line
// break stands alone: a line break is never part of a character, or a line ending in such a
// byte would run into the next one and a key written there could not be read back.
const char* StepChar(const char* p, TextCode code) {
    if (code == TextCode::Utf8)
        return *p ? p + 1 : p;
    const char* next = PortCharNextA(p);
    if (next - p == 2 && (p[1] == CR || p[1] == LF))
        return p + 1;
    return next;
}

const char* SkipLineStart(const char* p) {
    while (*p == CR || *p == LF)
        p++;
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

// The end of the value or name that starts at p: the first 0, CR or LF, stepped by character.
const char* LineEnd(const char* p, TextCode code) {
    while (!IsLineEnd(*p))
        p = StepChar(p, code);
    return p;
}

// Whether the bytes from start to end are name, in any letter case. The program's own names
// are ASCII: in UTF-8 only ASCII letters fold, and other bytes must match exactly.
bool SameName(const char* name, size_t nameLength, const char* start, const char* end,
              TextCode code) {
    if (static_cast<size_t>(end - start) != nameLength)
        return false;
    if (code == TextCode::Ansi)
        return PortSameNameA(name, start, static_cast<int>(nameLength));
    return SameAsciiNoCase(name, start, nameLength);
}

// The start of the line after the one at p: over one CR and then one LF.
const char* NextLine(const char* p, TextCode code) {
    p = LineEnd(p, code);
    if (*p == CR)
        p++;
    if (*p == LF)
        p++;
    return p;
}

// The line after the first header [name] from *cursor on, or null. *cursor moves past the
// header, or to the end of the text when there is none (where a new section goes).
const char* FindSection(const char* name, const char** cursor, TextCode code) {
    if (!cursor || !*cursor || !name)
        return nullptr;
    size_t n = std::strlen(name);
    const char* p = *cursor;
    while (*p) {
        p = SkipLineStart(p);
        if (*p != '[') {
            p = NextLine(p, code);
            continue;
        }
        const char* start = p + 1;
        const char* q = start;
        while (!IsLineEnd(*q) && *q != ']')
            q = StepChar(q, code);
        if (*q == ']' && SameName(name, n, start, q, code)) {
            *cursor = NextLine(q, code);
            return *cursor;
        }
        p = NextLine(q, code);
    }
    *cursor = p;
    return nullptr;
}

// Collects a new text from pieces in one heap block sized in advance.
struct TextBuilder {
    char* start;
    char* next;
};

bool BeginText(TextBuilder* b, size_t bytes) {
    b->start = static_cast<char*>(PortHeapAlloc(bytes));
    b->next = b->start;
    return b->start != nullptr;
}

void AddBytes(TextBuilder* b, const char* bytes, size_t count) {
    std::memcpy(b->next, bytes, count);
    b->next += count;
}

void AddString(TextBuilder* b, const char* text) {
    AddBytes(b, text, std::strlen(text));
}

// The value in the text's code, written without a terminator; bytes long.
void AddValue(TextBuilder* b, TextCode code, const wchar_t* value, int valueLength, int bytes) {
    if (bytes > 0)
        b->next += WideToText(code, value, valueLength, b->next, bytes);
}

SettingsText* FinishText(TextBuilder* b, SettingsText* old) {
    *b->next = '\0';
    FreeSettingsText(old);
    return b->start;
}

SettingsText* Refuse(SettingsText* text, bool* failed) {
    if (failed)
        *failed = true;
    return text;
}

// A key line found by ScanSection: where it starts (after the line breaks before it, its
// leading blanks included) and where its '=' is.
struct KeyLine {
    const char* start;
    const char* equals;
};

// Scans the section whose first line is at p for the first key line of name. Without one,
// *stop is where the section ends: the start of the blank lines before the next header or
// the text's end, or the text's end itself.
bool ScanSection(const char* name, const char* p, KeyLine* found, const char** stop,
                 TextCode code) {
    size_t n = std::strlen(name);
    while (*p) {
        const char* blockStart = p;
        while (*p == CR || *p == LF)
            p++;
        const char* lineStart = p;
        while (*p == ' ' || *p == '\t')
            p++;
        if (*p == '\0' || *p == '[') {
            // A new key goes before the blank lines that lead here.
            *stop = blockStart;
            return false;
        }
        if (*p == '#' || *p == ';' || *p == '!') {
            p = NextLine(p, code);
            continue;
        }
        const char* q = p;
        while (!IsLineEnd(*q) && *q != '=')
            q = StepChar(q, code);
        if (*q == '=' && SameName(name, n, p, q, code)) {
            found->start = lineStart;
            found->equals = q;
            return true;
        }
        p = NextLine(q, code);
    }
    *stop = p;
    return false;
}

// The first byte of the value of the first name= line of the section at *cursor, or null.
// *cursor moves past that line; when the key is missing, to the place where it is to be
// inserted: after the section's last non-blank line.
const char* FindKey(const char* name, const char** cursor, TextCode code) {
    if (!cursor || !*cursor || !name)
        return nullptr;
    KeyLine line;
    if (!ScanSection(name, *cursor, &line, cursor, code))
        return nullptr;
    const char* value = line.equals + 1;
    *cursor = NextLine(value, code);
    return value;
}

// The value of key in section, and its end, or null.
const char* FindValue(const char* section, const char* key, const SettingsText* text,
                      const char** end) {
    if (!text)
        return nullptr;
    TextCode code = CodeOf(text);
    const char* cursor = Body(text, code);
    if (!FindSection(section, &cursor, code))
        return nullptr;
    const char* value = FindKey(key, &cursor, code);
    if (value)
        *end = LineEnd(value, code);
    return value;
}

// A value to write: its wide text, that text's length to its first line break, and the bytes
// it takes in the settings text's code.
struct NewValue {
    TextCode code;
    const wchar_t* text;
    int length;
    int bytes;
};

constexpr size_t LineBreakBytes = 2; // "\r\n"

void AddValue(TextBuilder* b, const NewValue& v) {
    AddValue(b, v.code, v.text, v.length, v.bytes);
}

// The bytes of the line "key=value\r\n".
size_t KeyLineBytes(size_t keyLength, const NewValue& v) {
    return keyLength + 1 + static_cast<size_t>(v.bytes) + LineBreakBytes;
}

void AddKeyLine(TextBuilder* b, const char* key, size_t keyLength, const NewValue& v) {
    AddBytes(b, key, keyLength);
    AddString(b, "=");
    AddValue(b, v);
    AddString(b, "\r\n");
}

// Writes v over the old value that runs from offset start to offset end of text.
SettingsText* ReplaceValue(SettingsText* text, ptrdiff_t start, ptrdiff_t end, const NewValue& v,
                           bool* failed) {
    size_t length = std::strlen(text);
    size_t before = static_cast<size_t>(start);
    size_t oldBytes = static_cast<size_t>(end - start);
    size_t newBytes = static_cast<size_t>(v.bytes);
    if (newBytes <= oldBytes) {
        // Shrinks or keeps its size: written over the old value, the rest moved up.
        if (newBytes > 0)
            WideToText(v.code, v.text, v.length, text + before, v.bytes);
        if (newBytes < oldBytes)
            std::memmove(text + before + newBytes, text + end,
                         length - static_cast<size_t>(end) + 1);
        return text;
    }
    TextBuilder b;
    if (!BeginText(&b, length - oldBytes + newBytes + 1))
        return Refuse(text, failed);
    AddBytes(&b, text, before);
    AddValue(&b, v);
    AddBytes(&b, text + end, length - static_cast<size_t>(end));
    return FinishText(&b, text);
}

// A new key line at offset at, a section's insertion point, after a line break when the line
// before it is not ended.
SettingsText* InsertKeyLine(SettingsText* text, size_t at, const char* key, const NewValue& v,
                            bool* failed) {
    size_t length = std::strlen(text);
    size_t keyLength = std::strlen(key);
    bool needBreak = at > 0 && text[at - 1] != CR && text[at - 1] != LF;
    TextBuilder b;
    if (!BeginText(&b, length + LineBreakBytes + KeyLineBytes(keyLength, v) + 1))
        return Refuse(text, failed);
    AddBytes(&b, text, at);
    if (needBreak)
        AddString(&b, "\r\n");
    AddKeyLine(&b, key, keyLength, v);
    AddBytes(&b, text + at, length - at);
    return FinishText(&b, text);
}

// A new section with its one key at the end, one blank line after the text before it.
SettingsText* AppendSection(SettingsText* text, const char* section, const char* key,
                            const NewValue& v, bool* failed) {
    size_t length = std::strlen(text);
    size_t sectionLength = std::strlen(section);
    size_t keyLength = std::strlen(key);
    size_t bodyStart = static_cast<size_t>(Body(text, v.code) - text);
    bool needBreak = length > bodyStart && text[length - 1] != CR && text[length - 1] != LF;
    // At most two line breaks before "[section]\r\n".
    size_t headerBytes = 2 * LineBreakBytes + 1 + sectionLength + 1 + LineBreakBytes;
    TextBuilder b;
    if (!BeginText(&b, length + headerBytes + KeyLineBytes(keyLength, v) + 1))
        return Refuse(text, failed);
    AddBytes(&b, text, length);
    if (length > bodyStart) {
        if (needBreak)
            AddString(&b, "\r\n");
        AddString(&b, "\r\n");
    }
    AddString(&b, "[");
    AddBytes(&b, section, sectionLength);
    AddString(&b, "]\r\n");
    AddKeyLine(&b, key, keyLength, v);
    return FinishText(&b, text);
}

} // namespace

void FreeSettingsText(SettingsText* text) {
    PortHeapFree(text);
}

int GetTextValue(const char* section, const char* key, const wchar_t* defaultValue, wchar_t* output,
                 int capacity, const SettingsText* text) {
    const char* end = nullptr;
    const char* value = FindValue(section, key, text, &end);
    if (value) {
        int n = static_cast<int>(end - value);
        if (!output)
            return n;
        if (capacity < 1)
            return 0;
        int count = TextToWide(CodeOf(text), value, n, output, capacity - 1);
        output[count] = L'\0';
        return count;
    }
    if (!output || capacity < 1)
        return 0;
    output[0] = L'\0';
    if (defaultValue)
        CopyWideText(output, defaultValue, capacity);
    return 0;
}

int32_t GetIntValue(const char* section, const char* key, int32_t defaultValue,
                    const SettingsText* text) {
    const char* end = nullptr;
    const char* value = FindValue(section, key, text, &end);
    // The parsers stop at the first byte they cannot use, so they never pass the line's end.
    return value ? ParseInt32(value) : defaultValue;
}

uint32_t GetHexValue(const char* section, const char* key, uint32_t defaultValue,
                     const SettingsText* text) {
    const char* end = nullptr;
    const char* value = FindValue(section, key, text, &end);
    return value ? ParseHex32(value) : defaultValue;
}

int64_t GetInt64Value(const char* section, const char* key, int64_t defaultValue,
                      const SettingsText* text) {
    const char* end = nullptr;
    const char* value = FindValue(section, key, text, &end);
    return value ? ParseInt64(value, nullptr) : defaultValue;
}

SettingsText* SetTextValue(const char* section, const char* key, const wchar_t* value,
                           SettingsText* text, bool* failed) {
    if (!section || !key)
        return Refuse(text, failed);
    if (!text) {
        text = static_cast<SettingsText*>(PortHeapAlloc(EmptyTextBytes));
        if (!text)
            return Refuse(nullptr, failed);
        std::memset(text, 0, EmptyTextBytes);
    }
    TextCode code = CodeOf(text);
    int valueLength = OneLineLength(value);
    NewValue v = {code, value, valueLength, WideToText(code, value, valueLength, nullptr, 0)};

    const char* cursor = Body(text, code);
    bool sectionFound = FindSection(section, &cursor, code) != nullptr;
    const char* found = sectionFound ? FindKey(key, &cursor, code) : nullptr;
    if (found)
        return ReplaceValue(text, found - text, LineEnd(found, code) - text, v, failed);
    if (sectionFound)
        return InsertKeyLine(text, static_cast<size_t>(cursor - text), key, v, failed);
    return AppendSection(text, section, key, v, failed);
}

SettingsText* SetIntValue(const char* section, const char* key, int32_t value, SettingsText* text,
                          bool* failed) {
    wchar_t digits[16];
    FormatInt64(value, digits, 16);
    return SetTextValue(section, key, digits, text, failed);
}

SettingsText* SetHexValue(const char* section, const char* key, uint32_t value, SettingsText* text,
                          bool* failed) {
    wchar_t digits[11] = L"0";
    if (value != 0) {
        static const wchar_t Hex[] = L"0123456789ABCDEF";
        digits[1] = L'x';
        for (int i = 0; i < 8; i++)
            digits[2 + i] = Hex[(value >> (28 - 4 * i)) & 0xF];
        digits[10] = L'\0';
    }
    return SetTextValue(section, key, digits, text, failed);
}

SettingsText* SetInt64Value(const char* section, const char* key, int64_t value, SettingsText* text,
                            bool* failed) {
    wchar_t digits[32];
    FormatInt64(value, digits, 32);
    return SetTextValue(section, key, digits, text, failed);
}

int DeleteKey(const char* section, const char* key, SettingsText* text) {
    if (!text || !key)
        return 0;
    TextCode code = CodeOf(text);
    const char* cursor = Body(text, code);
    if (!FindSection(section, &cursor, code))
        return 0;
    KeyLine line;
    const char* stop;
    if (!ScanSection(key, cursor, &line, &stop, code))
        return 0;
    // The line goes from its first byte (leading blanks included) to the next line's start.
    const char* next = NextLine(line.equals, code);
    std::memmove(text + (line.start - text), next, std::strlen(next) + 1);
    return 1;
}
