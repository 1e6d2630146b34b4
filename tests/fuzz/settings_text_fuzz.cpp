// Fuzzes the settings text engine: arbitrary file bytes (in the code page, or UTF-8 after its
// mark), then a script of reads, writes and deletes. Checks that every value written without a
// line break reads back equal, that every line the script did not touch is still there, in
// order, and that a UTF-8 text keeps its mark.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "port/port_test.h"
#include "settings/settings_text.h"

namespace {

// Names as the program could use them: the double-byte one (trail byte ']') only where the
// code page has double-byte characters; in a single-byte code page or in UTF-8, ']' would end
// the name.
const char* const Sections[] = {"MAIN", "main", "COUNTER1", "GRAPH2", "A", "\x83\x5D"};
const char* const Keys[] = {"Interval", "interval", "Font", "A", "\x83\x5C", "Path", "X"};
// Characters every code page of the test has, besides ASCII.
const wchar_t Extra1252[] = {0x00E9, 0x20AC, 0x00A0};
const wchar_t Extra932[] = {0x30BD, 0x30FC, 0x6F22};

template <typename T, size_t N> constexpr size_t CountOf(T (&)[N]) {
    return N;
}

const char Utf8Mark[] = "\xEF\xBB\xBF";

std::vector<std::string> RawLines(const char* text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char* p = text; *p; p++) {
        if (*p == '\r' || *p == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += *p;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return s;
}

// A line the script may have changed: it holds one of the keys it wrote or deleted, followed
// by '='.
bool Touched(const std::string& line, const std::vector<std::string>& keys) {
    std::string lower = Lower(line);
    for (const std::string& key : keys) {
        if (lower.find(Lower(key) + "=") != std::string::npos)
            return true;
    }
    return false;
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "settings text invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    uint8_t mode = in.Byte();
    bool japanese = mode & 1;
    PortSetCodePage(japanese ? 932 : 1252);
    size_t fileLength = in.Byte() | (in.Byte() << 8);
    if (fileLength > in.size)
        fileLength = in.size;

    // The file's bytes, cut at a zero byte as the reader would refuse it.
    std::string file(reinterpret_cast<const char*>(in.data), fileLength);
    file = file.substr(0, std::strlen(file.c_str()));
    if (mode & 2)
        file = Utf8Mark + file;
    // The engine goes by the text itself: the file's own bytes may start with the mark too.
    const bool utf8 = file.compare(0, 3, Utf8Mark) == 0;
    in.data += fileLength;
    in.size -= fileLength;
    SettingsText* text = nullptr;
    if (!file.empty()) {
        text = static_cast<SettingsText*>(std::malloc(file.size() + 1));
        std::memcpy(text, file.c_str(), file.size() + 1);
    }
    // The mark is no part of the first line: a text that is nothing else gets its first
    // section right after it.
    const size_t markBytes = utf8 ? 3 : 0;
    const std::vector<std::string> before = RawLines(file.c_str() + markBytes);

    std::vector<std::string> touchedKeys;
    for (int step = 0; step < 32 && !in.Empty(); step++) {
        uint8_t op = in.Byte();
        bool doubleByte = japanese && !utf8;
        const char* section = Sections[in.Byte() % (CountOf(Sections) - (doubleByte ? 0 : 1))];
        const char* key = Keys[in.Byte() % CountOf(Keys)];
        switch (op % 4) {
        case 0: { // write a value of up to 40 characters, without line breaks
            std::wstring value;
            size_t length = in.Byte() % 41;
            for (size_t i = 0; i < length; i++) {
                uint8_t c = in.Byte();
                if (c >= 0xF0)
                    value += japanese ? Extra932[c % 3] : Extra1252[c % 3];
                else
                    value += static_cast<wchar_t>(0x20 + c % 0x5F);
            }
            touchedKeys.push_back(key);
            bool failed = false;
            text = SetTextValue(section, key, value.c_str(), text, &failed);
            Check(!failed && text, "a write had memory and gave a text");
            int bytes = GetTextValue(section, key, L"", nullptr, 0, text);
            std::vector<wchar_t> out(static_cast<size_t>(bytes) + 1);
            GetTextValue(section, key, L"<none>", out.data(), bytes + 1, text);
            Check(value == out.data(), "a written value reads back equal");
            break;
        }
        case 1: {
            touchedKeys.push_back(key);
            DeleteKey(section, key, text);
            break;
        }
        case 2: {
            GetIntValue(section, key, 7, text);
            GetHexValue(section, key, 7, text);
            GetInt64Value(section, key, 7, text);
            break;
        }
        case 3: {
            wchar_t small[5];
            GetTextValue(section, key, L"default", small, 1 + in.Byte() % 5, text);
            break;
        }
        }
    }

    if (utf8)
        Check(text && std::strncmp(text, Utf8Mark, 3) == 0, "a UTF-8 text keeps its mark");
    // The lines the script left alone are all still there, in their order.
    const std::vector<std::string> after = RawLines(text ? text + markBytes : "");
    size_t next = 0;
    for (const std::string& line : before) {
        // Blank lines carry nothing, and a value edit may change how its line break splits.
        if (line.empty() || Touched(line, touchedKeys))
            continue;
        while (next < after.size() && after[next] != line)
            next++;
        Check(next < after.size(), "an untouched line is kept in its place");
        next++;
    }
    FreeSettingsText(text);
    PortSetCodePage(1252);
    return 0;
}
