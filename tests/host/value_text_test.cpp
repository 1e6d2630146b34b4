// Value text: the automatic K/M/G/T unit and the caption line of a graph.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include <gtest/gtest.h>

#include "render/value_text.h"

namespace {

constexpr wchar_t Guard = L'#';
constexpr int64_t G = int64_t{1} << 30;
constexpr int64_t T = int64_t{1} << 40;

// A buffer filled with Guard, so that writes beyond a capacity show up.
struct GuardedLine {
    wchar_t text[ValueLineChars + 8];
    GuardedLine() { std::fill(std::begin(text), std::end(text), Guard); }
    std::wstring Text() const { return std::wstring(text, std::find(text, std::end(text), 0)); }
    bool UntouchedFrom(int first) const {
        return std::all_of(text + first, std::end(text), [](wchar_t c) { return c == Guard; });
    }
};

int Length(const wchar_t* text) {
    return static_cast<int>(std::wcslen(text));
}
std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

CounterSlot Slot(const wchar_t* title, const wchar_t* unit, uint32_t unitMode) {
    CounterSlot slot;
    std::memset(&slot, 0, sizeof(slot));
    // Bits on either side of the unit field must not change it.
    slot.PdhFlag = PdhUse | PdhAlignRight | 0x800 | (unitMode << PdhUnitShift);
    std::wcsncpy(slot.Title, title, TitleChars - 1);
    std::wcsncpy(slot.Unit, unit, UnitChars - 1);
    return slot;
}

TEST(ValueText, AutoUnitStepsBy1024FromOneThousand) {
    // clang-format off
    struct Case { int64_t value; const wchar_t* text; } cases[] = {
        {0, L"0"}, {999, L"999"}, {1000, L"0.9K"}, {1023, L"0.9K"}, {1024, L"1.0K"},
        {1536, L"1.5K"}, {10240, L"10K"}, {1023999, L"999K"}, {1024000, L"0.9M"},
        {1572864, L"1.5M"}, {1000000000, L"953M"}, {G, L"1.0G"}, {1000000000000, L"931G"},
        {T, L"1.0T"}, {5 * 1024 * T, L"5120T"}, {-1, L"4294967295"}, {-1000, L"4294966296"}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        GuardedLine out;
        EXPECT_EQ(FormatAutoUnit(c.value, out.text, 32), Length(c.text));
        EXPECT_EQ(out.Text(), c.text);
    }
}

TEST(ValueText, AutoUnitWritesNothingWithoutRoomForItsBranch) {
    // text null: nothing written. A negative value needs room for its ten digits.
    // clang-format off
    struct Case { int64_t value; int capacity; const wchar_t* text; } cases[] = {
        {999, 5, nullptr}, {999, 6, L"999"}, {0, 5, nullptr}, {5, 0, nullptr}, {5, -1, nullptr},
        {-1, 10, nullptr}, {-1, 11, L"4294967295"}, {1024, 10, nullptr}, {1024, 11, L"1.0K"},
        {1572864, 10, nullptr}, {1572864, 11, L"1.5M"}, {G, 10, nullptr}, {G, 11, L"1.0G"},
        {T, 15, nullptr}, {T, 16, L"1.0T"}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " in " << c.capacity);
        GuardedLine out;
        int length = FormatAutoUnit(c.value, out.text, c.capacity);
        EXPECT_EQ(length, c.text ? Length(c.text) : 0);
        if (c.text) {
            EXPECT_EQ(out.Text(), c.text);
        }
        EXPECT_TRUE(out.UntouchedFrom(c.text ? c.capacity : 0));
    }
    EXPECT_EQ(FormatAutoUnit(1024, nullptr, 32), 0);
}

TEST(ValueText, UnitModeChoosesTheValuePart) {
    // Columns by UnitMode: plain, auto bytes, KB, MB, auto bits, bit, Kbit, Mbit.
    // clang-format off
    struct Case { int64_t latest; const wchar_t* parts[8]; } cases[] = {
        {0, {L"0", L"0", L"0.0", L"0.0", L"0", L"0", L"0.0", L"0.0"}},
        {128, {L"128", L"128", L"0.1", L"0.0", L"1.0K", L"1024", L"1.0", L"0.0"}},
        {1536, {L"1536", L"1.5K", L"1.5", L"0.0", L"12K", L"12288", L"12.0", L"0.0"}},
        {1048576,
         {L"1048576", L"1.0M", L"1024.0", L"1.0", L"8.0M", L"8388608", L"8192.0", L"8.0"}},
        {1572864,
         {L"1572864", L"1.5M", L"1536.0", L"1.5", L"12M", L"12582912", L"12288.0", L"12.0"}},
        {-1, {L"-1", L"4294967295", L"-1.9", L"-1.9", L"4294967288", L"-8", L"-1.9", L"-1.9"}},
        {INT64_MIN, {L"-9223372036854775808"}}}; // plain mode only
    // clang-format on
    for (const Case& c : cases) {
        for (uint32_t mode = 0; mode < 8 && c.parts[mode]; mode++) {
            SCOPED_TRACE(testing::Message() << c.latest << " in mode " << mode);
            CounterSlot slot = Slot(L"", L"", mode);
            GuardedLine line;
            EXPECT_EQ(FormatValueText(&slot, true, c.latest, line.text), Length(c.parts[mode]));
            EXPECT_EQ(line.Text(), c.parts[mode]);
        }
    }
}

TEST(ValueText, LineIsTitleValueAndUnitWithoutSeparators) {
    // clang-format off
    struct Case { const wchar_t* title; const wchar_t* unit; uint32_t mode; bool open;
                  int64_t latest; const wchar_t* line; } cases[] = {
        {L"CPU ", L" %", 0, true, 42, L"CPU 42 %"},
        {L"CPU ", L" %", 0, false, 42, L"CPU --- %"},
        {L"NET ", L"B/s", 1, true, 1536, L"NET 1.5KB/s"},
        {L"NET ", L"B/s", 1, false, 1536, L"NET ---B/s"},
        {L"up", L"", 2, true, 2048, L"up2.0"},
        {L"", L"", 0, false, 0, L"---"}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.line));
        CounterSlot slot = Slot(c.title, c.unit, c.mode);
        GuardedLine line;
        EXPECT_EQ(FormatValueText(&slot, c.open, c.latest, line.text), Length(c.line));
        EXPECT_EQ(line.Text(), c.line);
        EXPECT_TRUE(line.UntouchedFrom(ValueLineChars));
    }
}

TEST(ValueText, FullFieldsAreCutAtTheEndOfTheLine) {
    // Title and Unit filled to their last character without a terminator: each is read only
    // as far as its capacity allows, and the line ends after ValueLineChars - 1 characters.
    const std::wstring title(TitleChars - 1, L'T');
    const std::wstring unit(UnitChars - 1, L'U');
    // clang-format off
    struct Case { uint32_t mode; bool open; int64_t latest; std::wstring line; } cases[] = {
        {0, true, INT64_MIN, title + L"-9223372036854775808" + std::wstring(12, L'U')},
        {1, true, INT64_MAX, title + L"8388607T" + unit},
        {0, false, 0, title + L"---" + unit}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.line));
        CounterSlot slot = Slot(L"", L"", c.mode);
        std::fill(std::begin(slot.Title), std::end(slot.Title), L'T');
        std::fill(std::begin(slot.Unit), std::end(slot.Unit), L'U');
        GuardedLine line;
        int length = FormatValueText(&slot, c.open, c.latest, line.text);
        EXPECT_EQ(line.Text(), c.line);
        EXPECT_EQ(length, static_cast<int>(c.line.size()));
        EXPECT_LE(length, ValueLineChars - 1);
        EXPECT_TRUE(line.UntouchedFrom(ValueLineChars));
    }
}

} // namespace
