// Number and text conversions: parsing, formatting, bounded copies, path offsets, comparing.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "port/port.h"
#include "text/convert.h"
#ifndef _WIN32
#include "port/port_test.h"
#endif

namespace {

// Buffers are filled with these before a call, so that what it wrote can be told apart.
constexpr char ByteGuard = '#';
constexpr wchar_t WideGuard = L'#';
constexpr int BufferChars = 40;

std::wstring Widen(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}
std::string Narrow(const wchar_t* text) {
    return std::string(text, text + WideLength(text));
}

// Up to the terminator, or the whole buffer when it has none.
template <typename Char> std::basic_string<Char> Terminated(const Char* buffer) {
    return std::basic_string<Char>(buffer, std::find(buffer, buffer + BufferChars, Char(0)));
}

// expected null: nothing may have been written. Otherwise the text must be expected and
// nothing may lie at or beyond capacity.
template <typename Char>
void ExpectGuardedText(const Char* buffer, int capacity, const Char* expected, Char guard) {
    int untouchedFrom = 0;
    if (expected) {
        EXPECT_EQ(Terminated(buffer), expected);
        untouchedFrom = capacity;
    }
    for (int i = untouchedFrom; i < BufferChars; i++)
        ASSERT_EQ(buffer[i], guard) << "written at " << i;
}

TEST(Convert, ParseInt32SaturatesAndStopsAtTheFirstNonDigit) {
    // clang-format off
    struct Case { const char* text; int32_t expected; } cases[] = {
        {"  +42x", 42}, {"-0", 0}, {"\t7", 7}, {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX}, {"99999999999", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN}, {"abc", 0}, {"0x10", 0}, {"- 5", 0}, {"", 0}, {nullptr, 0}};
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(ParseInt32(c.text), c.expected) << (c.text ? c.text : "<null>");
}

TEST(Convert, ParseHex32TakesAtMostEightDigits) {
    // clang-format off
    struct Case { const char* text; uint32_t expected; } cases[] = {
        {"0x0000FF00", 0xFF00u}, {"ff", 0xFFu}, {"0X7B011D", 0x7B011Du},
        {"123456789", 0x12345678u}, {" \tAbC", 0xABCu}, {"fg", 0xFu}, {"-1", 0u}, {"0x", 0u},
        {nullptr, 0u}};
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(ParseHex32(c.text), c.expected) << (c.text ? c.text : "<null>");
}

TEST(Convert, ParseInt64SaturatesAndReportsWhereItStopped) {
    // endIndex is 0 when no digit is taken: the end is then the text as passed, before any
    // blanks or sign. On saturation the digit that would overflow is not taken.
    // clang-format off
    struct Case { const char* text; int64_t expected; int endIndex; } cases[] = {
        {"9223372036854775807", INT64_MAX, 19}, {"9223372036854775808", INT64_MAX, 18},
        {"99999999999999999999", INT64_MAX, 18}, {"-9223372036854775808", INT64_MIN, 20},
        {"-9223372036854775809", INT64_MIN, 19}, {" -12 ", -12, 4}, {"+7kB", 7, 2},
        {"abc", 0, 0}, {"  -x", 0, 0}, {"", 0, 0}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const char* end = nullptr;
        EXPECT_EQ(ParseInt64(c.text, &end), c.expected);
        EXPECT_EQ(end - c.text, c.endIndex);

        std::wstring wide = Widen(c.text);
        const wchar_t* wideEnd = nullptr;
        EXPECT_EQ(ParseInt64Wide(wide.c_str(), &wideEnd), c.expected);
        EXPECT_EQ(wideEnd - wide.c_str(), c.endIndex);
    }
    const char* end = "x";
    EXPECT_EQ(ParseInt64(nullptr, &end), 0);
    EXPECT_EQ(end, nullptr);
    EXPECT_EQ(ParseInt64("5", nullptr), 5);
    EXPECT_EQ(ParseInt64Wide(L"5", nullptr), 5);
}

TEST(Convert, FormatUInt64KeepsTheLeadingDigitsThatFit) {
    // text null: nothing written.
    // clang-format off
    struct Case { uint64_t value; int capacity; const wchar_t* text; int count; } cases[] = {
        {UINT64_MAX, 32, L"18446744073709551615", 20},
        {UINT64_MAX, 21, L"18446744073709551615", 20},
        {UINT64_MAX, 5, L"1844", 4}, {0, 2, L"0", 1}, {12345, 1, L"", 0},
        {12345, 0, nullptr, 0}, {12345, -1, nullptr, 0}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " in " << c.capacity);
        wchar_t buffer[BufferChars];
        std::fill(buffer, buffer + BufferChars, WideGuard);
        EXPECT_EQ(FormatUInt64(c.value, buffer, c.capacity), c.count);
        ExpectGuardedText(buffer, c.capacity, c.text, WideGuard);
    }
    // Without an output the size needed comes back, terminator included.
    EXPECT_EQ(FormatUInt64(0, nullptr, 0), 2);
    EXPECT_EQ(FormatUInt64(10, nullptr, 0), 3);
    EXPECT_EQ(FormatUInt64(UINT64_MAX, nullptr, 0), 21);
}

TEST(Convert, FormatInt64LeavesOnePlaceUnusedAndNeverALoneSign) {
    // text null: nothing written.
    // clang-format off
    struct Case { int64_t value; int capacity; const wchar_t* text; int count; } cases[] = {
        {0, 8, L"0", 1}, {-1, 8, L"-1", 2}, {INT64_MIN, 32, L"-9223372036854775808", 20},
        {INT64_MAX, 32, L"9223372036854775807", 19}, {12345, 4, L"12", 2}, {12345, 6, L"1234", 4},
        {12345, 7, L"12345", 5}, {-12345, 5, L"-12", 3}, {-5, 4, L"-5", 2}, {-5, 3, L"", 0},
        {-5, 2, L"", 0}, {5, 2, L"", 0}, {7, 1, nullptr, 0}, {7, 0, nullptr, 0}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " in " << c.capacity);
        wchar_t buffer[BufferChars];
        std::fill(buffer, buffer + BufferChars, WideGuard);
        EXPECT_EQ(FormatInt64(c.value, buffer, c.capacity), c.count);
        ExpectGuardedText(buffer, c.capacity, c.text, WideGuard);
    }
    EXPECT_EQ(FormatInt64(7, nullptr, 8), 0);
}

TEST(Convert, CopiesRefuseMissingTextsAndTinyCapacities) {
    // clang-format off
    struct Case { bool toBuffer; const char* source; int capacity; } cases[] = {
        {false, "abc", 8}, {true, nullptr, 8}, {true, "", 8}, {true, "abc", 1}, {true, "abc", 0},
        {true, "abc", -1}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.source ? c.source : "<null>") << " in " << c.capacity);
        char bytes[BufferChars];
        wchar_t wide[BufferChars];
        std::fill(bytes, bytes + BufferChars, ByteGuard);
        std::fill(wide, wide + BufferChars, WideGuard);
        std::wstring wideSource = c.source ? Widen(c.source) : std::wstring();
        const wchar_t* wideText = c.source ? wideSource.c_str() : nullptr;
        EXPECT_EQ(CopyMultiByteText(c.toBuffer ? bytes : nullptr, c.source, c.capacity), 0);
        EXPECT_EQ(CopyWideText(c.toBuffer ? wide : nullptr, wideText, c.capacity), 0);
        ExpectGuardedText<char>(bytes, 0, nullptr, ByteGuard);
        ExpectGuardedText<wchar_t>(wide, 0, nullptr, WideGuard);
    }
}

TEST(Convert, CopyWideTextCutsAtCapacity) {
    // clang-format off
    struct Case { int capacity; const wchar_t* text; } cases[] = {
        {32, L"COUNTER"}, {8, L"COUNTER"}, {7, L"COUNTE"}, {4, L"COU"}, {2, L"C"}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        wchar_t buffer[BufferChars];
        std::fill(buffer, buffer + BufferChars, WideGuard);
        EXPECT_EQ(CopyWideText(buffer, L"COUNTER", c.capacity), WideLength(c.text));
        ExpectGuardedText(buffer, c.capacity, c.text, WideGuard);
    }
}

#ifndef _WIN32
// The code page is process-wide state of the host port: every test leaves it at 1252.
class MultiByteCopy : public testing::Test {
protected:
    void TearDown() override { PortSetCodePage(1252); }
};

TEST_F(MultiByteCopy, NeverSplitsADoubleByteCharacter) {
    // clang-format off
    struct Case { unsigned codePage; const char* source; int capacity; const char* text; }
    cases[] = {
        {1252, "COUNTER", 32, "COUNTER"},
        {1252, "COUNTER", 4, "COU"},
        {932, "ab\x82\xa0", 4, "ab"},                      // the pair does not fit
        {932, "ab\x82\xa0", 5, "ab\x82\xa0"},
        {1252, "ab\x82\xa0", 4, "ab\x82"},                 // no lead bytes: single bytes
        {932, "a\x82", 8, "a"},                            // a lead byte that lost its trail
        {932, "\x81\x81\x81", 8, "\x81\x81"},              // a trail in the lead range is a trail
        {1252, "\x81\x81\x81", 8, "\x81\x81\x81"},
        {932, "\x9f\x41\xe0\x41", 8, "\x9f\x41\xe0\x41"},  // ends of the two lead ranges
        {932, "\x9f\x41\xfc\x41", 4, "\x9f\x41"},
        {932, "\x80\xa0\xdf\xfd", 8, "\x80\xa0\xdf\xfd"}}; // just outside them
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.codePage << ": " << c.source << " in " << c.capacity);
        PortSetCodePage(c.codePage);
        char buffer[BufferChars];
        std::fill(buffer, buffer + BufferChars, ByteGuard);
        EXPECT_EQ(CopyMultiByteText(buffer, c.source, c.capacity),
                  static_cast<int>(std::strlen(c.text)));
        ExpectGuardedText(buffer, c.capacity, c.text, ByteGuard);
    }
}
#endif

TEST(Convert, PathOffsetsFindNameAndExtension) {
    // clang-format off
    struct Case { const wchar_t* text; int nameOffset; int dotOffset; } cases[] = {
        {L"C:\\Tools\\mon.exe", 9, 12}, {L"mon.exe", 0, 3}, {L"C:mon", 2, 0},
        {L"logs/a.wav", 5, 6}, {L"dir\\", 4, 0}, {L"mon", 0, 0}, {L"a.b.c", 0, 3},
        {L".wav", 0, 0}, {L"", 0, 0}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        EXPECT_EQ(FileNameOffset(c.text), c.nameOffset);
        EXPECT_EQ(ExtensionDotOffset(c.text), c.dotOffset);
    }
    EXPECT_EQ(FileNameOffset(nullptr), 0);
    EXPECT_EQ(ExtensionDotOffset(nullptr), 0);
}

TEST(Convert, CompareNoCaseIgnoresCaseAsFarAsTheShorterText) {
    // clang-format off
    struct Case { const wchar_t* a; const wchar_t* b; int sign; } cases[] = {
        {L".wav", L".WAV", 0}, {L".wav", L".w", 0}, {L".W", L".wav", 0}, {L"", L"x", 0},
        {L"a", L"b", -1}, {L"B", L"a", 1}, {L"ABC", L"abd", -1}};
    // clang-format on
    for (const Case& c : cases) {
        int result = CompareNoCase(c.a, c.b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << Narrow(c.a) << " / " << Narrow(c.b);
    }
}

} // namespace

namespace {

std::wstring FromUtf8(const std::string& bytes) {
    int n = Utf8ToWide(bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'#');
    EXPECT_EQ(Utf8ToWide(bytes.data(), static_cast<int>(bytes.size()), &wide[0], n), n);
    return wide;
}

TEST(Convert, Utf8DecodesWellFormedSequencesAndReplacesEveryBadByte) {
    struct Case {
        std::string bytes;
        std::wstring wide;
    };
    const Case cases[] = {
        {"a\xC3\xA9\xE3\x82\xBD\xF0\x9F\x98\x80", L"a\u00e9\u30bd\U0001F600"},
        {"\xC0\xAF", L"\ufffd\ufffd"},                     // overlong '/'
        {"\xED\xA0\x80", L"\ufffd\ufffd\ufffd"},           // a surrogate
        {"\xF4\x90\x80\x80", L"\ufffd\ufffd\ufffd\ufffd"}, // past U+10FFFF
        {"\xE3\x82", L"\ufffd\ufffd"},                     // cut at the end
        {"\xE3\x82=", L"\ufffd\ufffd="},                   // cut before ASCII, which survives
        {"\x80\xFF", L"\ufffd\ufffd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(FromUtf8(c.bytes), c.wide);
    }
}

TEST(Convert, Utf8ConversionsKeepThePortsContract) {
    const std::wstring wide = L"\u30bd\U0001F600x";
    EXPECT_EQ(WideToUtf8(wide.data(), static_cast<int>(wide.size()), nullptr, 0), 8);
    char bytes[8] = {};
    EXPECT_EQ(WideToUtf8(wide.data(), static_cast<int>(wide.size()), bytes, 7), 0) << "no room";
    EXPECT_EQ(WideToUtf8(wide.data(), static_cast<int>(wide.size()), bytes, 0), 0);
    EXPECT_EQ(WideToUtf8(wide.data(), static_cast<int>(wide.size()), bytes, 8), 8);
    EXPECT_EQ(std::string(bytes, 8), "\xE3\x82\xBD\xF0\x9F\x98\x80x");
    EXPECT_EQ(WideToUtf8(wide.data(), 0, nullptr, 0), 0);
    wchar_t out[2] = {L'#', L'#'};
    EXPECT_EQ(Utf8ToWide("ab", 2, out, 1), 0) << "no room";
    EXPECT_EQ(out[0], L'#');
    EXPECT_EQ(Utf8ToWide("ab", 2, out, 0), 0);
#if WCHAR_MAX <= 0xFFFF
    // A lone surrogate of UTF-16 has no UTF-8 form.
    const wchar_t lone[] = {0xD800, L'a'};
    EXPECT_EQ(WideToUtf8(lone, 2, bytes, 8), 4);
    EXPECT_EQ(std::string(bytes, 4), "\xEF\xBF\xBD"
                                     "a");
#endif
}

// UTF-16 settings files are held as UTF-8 while they are edited: every unit comes back as it
// was, a surrogate that lost its partner included.
TEST(Convert, Utf16LittleEndianAndUtf8GiveEachOtherBackUnitForUnit) {
    struct Case {
        std::string utf16, utf8;
    };
    // Every byte counts, zeros included.
    auto b = [](const auto& bytes) { return std::string(bytes, sizeof(bytes) - 1); };
    const Case cases[] = {
        {b("a\0=\0"), "a="},
        {b("\xBD\x30\xE9\x00"), "\xE3\x82\xBD\xC3\xA9"},          // ソé
        {b("\x3D\xD8\x00\xDE"), "\xF0\x9F\x98\x80"},               // a pair
        {b("\x00\xD8" "a\0"), "\xED\xA0\x80" "a"},                 // a lone high
        {b("\x00\xDC"), "\xED\xB0\x80"},                             // a lone low
        {b("\x00\xDC\x00\xD8"), "\xED\xB0\x80\xED\xA0\x80"},       // the wrong order
        {b("x\0\x3D\xD8"), "x\xED\xA0\xBD"},                         // cut at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        int n16 = static_cast<int>(c.utf16.size()), n8 = static_cast<int>(c.utf8.size());
        std::string utf8(static_cast<size_t>(n8), '#');
        EXPECT_EQ(Utf16LeToUtf8(c.utf16.data(), n16, nullptr, 0), n8);
        EXPECT_EQ(Utf16LeToUtf8(c.utf16.data(), n16, &utf8[0], n8), n8);
        EXPECT_EQ(utf8, c.utf8);
        std::string utf16(static_cast<size_t>(n16), '#');
        EXPECT_EQ(Utf8ToUtf16Le(c.utf8.data(), n8, nullptr, 0), n16);
        EXPECT_EQ(Utf8ToUtf16Le(c.utf8.data(), n8, &utf16[0], n16), n16);
        EXPECT_EQ(utf16, c.utf16);
    }
    char out[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(Utf8ToUtf16Le("ab", 2, out, 3), 0) << "no room";
    EXPECT_EQ(out[0], '#');
    EXPECT_EQ(Utf8ToUtf16Le("\xFF", 1, out, 4), 2);
    EXPECT_EQ(std::string(out, 2), "\xFD\xFF") << "a byte that starts nothing";
}

} // namespace

namespace {

// The port's conversions: an output with no room converts nothing, on every platform (the
// Windows calls would take a capacity of 0 for a size query).
TEST(PortConversion, AnOutputWithNoRoomGetsNothing) {
    wchar_t wide[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(PortAnsiToWide("ab", 2, wide, 0), 0);
    EXPECT_EQ(wide[0], L'#');
    EXPECT_EQ(PortAnsiToWide("ab", 2, wide, 1), 0);
    EXPECT_EQ(PortAnsiToWide("ab", 2, nullptr, 0), 2);
    EXPECT_EQ(PortAnsiToWide("ab", 2, wide, 2), 2);
    char bytes[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(PortWideToAnsi(L"ab", 2, bytes, 0), 0);
    EXPECT_EQ(bytes[0], '#');
    EXPECT_EQ(PortWideToAnsi(L"ab", 2, bytes, 1), 0);
    EXPECT_EQ(PortWideToAnsi(L"ab", 2, nullptr, 0), 2);
}

} // namespace
