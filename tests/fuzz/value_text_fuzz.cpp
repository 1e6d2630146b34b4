// Fuzzes the value text: the automatic unit at every capacity and the caption line in every unit
// mode, for values at the edges of 64 bits, titles and units that fill their fields without a
// terminator, and buffers on the heap at their exact sizes. Both must give what the arithmetic of
// each mode, done here in 128 bits, says.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "render/value_text.h"
#include "settings/settings_model.h"

namespace {

const char Target[] = "value text";

std::wstring Decimal(__int128 value) {
    bool negative = value < 0;
    unsigned __int128 magnitude =
        negative ? static_cast<unsigned __int128>(0) - static_cast<unsigned __int128>(value)
                 : static_cast<unsigned __int128>(value);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude);
    return negative ? L"-" + digits : digits;
}

// Division rounding toward minus infinity, and the remainder that goes with it.
__int128 FloorDiv(__int128 a, __int128 b) {
    __int128 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}
__int128 FloorMod(__int128 a, __int128 b) {
    return a - FloorDiv(a, b) * b;
}

// "whole.digit" with whole = value / unit and the digit the tenth of the rest, both truncated
// toward minus infinity; rest is measured in steps of step.
std::wstring OneDecimal(int64_t value, __int128 unit, __int128 step, __int128 tenths) {
    __int128 rest = FloorMod(value, unit) / step;
    return Decimal(FloorDiv(value, unit)) + L"." +
           static_cast<wchar_t>(L'0' + static_cast<int>(rest * tenths / 1024));
}

// The automatic unit: below 1000 the low 32 bits unsigned, else steps of 1024 until the whole
// part is below 1000 or the unit is T, with one truncated decimal below 10.
std::wstring AutoUnit(int64_t value) {
    if (value < 1000)
        return Decimal(static_cast<uint32_t>(static_cast<uint64_t>(value)));
    static const wchar_t Suffixes[] = L"KMGT";
    __int128 unit = 1024;
    int step = 0;
    while (value / unit >= 1000 && step < 3) {
        unit *= 1024;
        step++;
    }
    __int128 whole = value / unit;
    std::wstring text = Decimal(whole);
    if (whole < 10) {
        __int128 rest = (value % unit) / (unit / 1024);
        text += L'.';
        text += static_cast<wchar_t>(L'0' + static_cast<int>(rest * 1000 / 1024 / 100));
    }
    return text + Suffixes[step];
}

// The capacity the branch of AutoUnit needs, as FormatAutoUnit documents it: above 5 and room
// for the digits below 1000, above 15 once the unit is T, else above 10.
int AutoUnitRoom(int64_t value) {
    if (value < 1000) {
        int need = static_cast<int>(AutoUnit(value).size()) + 1;
        return need > 6 ? need : 6;
    }
    return (value >> 30) >= 1000 ? 16 : 11;
}

int64_t Times8(int64_t value) {
    return static_cast<int64_t>(static_cast<uint64_t>(value) << 3);
}

std::wstring ValuePart(uint32_t mode, int64_t value) {
    switch (mode) {
    case 1:
        return AutoUnit(value);
    case 2: // KB
        return OneDecimal(value, 1024, 1, 10);
    case 3: // MB
        return OneDecimal(value, 1024 * 1024, 1024, 10);
    case 4:
        return AutoUnit(Times8(value));
    case 5: // bits, wrapping as the 64-bit product does
        return Decimal(Times8(value));
    case 6: // Kbit: eight bits a byte, 1024 bits a Kbit
        return OneDecimal(value, 128, 1, 80);
    case 7: // Mbit
        return OneDecimal(value, 128 * 1024, 128, 10);
    default:
        return Decimal(value);
    }
}

// A fixed field's text as far as its capacity: up to its terminator, or its last place.
std::wstring FieldText(const wchar_t* field, int capacity) {
    std::wstring text;
    for (int i = 0; i < capacity - 1 && field[i]; i++)
        text += field[i];
    return text;
}

// Fills a fixed field from the input: a text, and with the last place left unterminated when
// the text fills it.
void FillField(FuzzInput* in, wchar_t* field, int capacity) {
    std::wstring text = in->Text(static_cast<size_t>(capacity));
    for (size_t i = 0; i < text.size(); i++)
        field[i] = text[i];
    if (text.size() < static_cast<size_t>(capacity))
        field[text.size()] = L'\0';
}

void CheckAutoUnit(int64_t value, int capacity) {
    // A capacity of 0 or less gets a buffer of one place, which must stay as it was.
    const size_t places = capacity > 0 ? static_cast<size_t>(capacity) : 1;
    wchar_t* output = static_cast<wchar_t*>(std::malloc(places * sizeof(wchar_t)));
    for (size_t i = 0; i < places; i++)
        output[i] = L'#';
    int length = FormatAutoUnit(value, output, capacity);
    if (capacity < AutoUnitRoom(value)) {
        FuzzCheck(length == 0, Target, "a capacity short of the branch gives nothing");
        for (size_t i = 0; i < places; i++)
            FuzzCheck(output[i] == L'#', Target, "a capacity short of the branch writes nothing");
    } else {
        FuzzCheck(length < capacity && output[length] == L'\0', Target,
                  "the automatic unit ends within its capacity");
        FuzzCheck(std::wstring(output, static_cast<size_t>(length)) == AutoUnit(value), Target,
                  "the automatic unit steps by 1024");
    }
    std::free(output);
    FuzzCheck(FormatAutoUnit(value, nullptr, capacity) == 0, Target, "no output gives nothing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const int64_t value = in.Value();
    const int capacity = static_cast<int>(in.Byte() % 24) - 2;
    CheckAutoUnit(value, capacity);

    CounterSlot* slot = static_cast<CounterSlot*>(std::calloc(1, sizeof(CounterSlot)));
    // Any bits around the unit mode, which must not change it.
    slot->PdhFlag = static_cast<uint32_t>(in.Quad());
    const bool counterOpen = in.Byte() & 1;
    FillField(&in, slot->Title, TitleChars);
    FillField(&in, slot->Unit, UnitChars);
    // The fields after the unit hold text too, which the line must not reach.
    for (wchar_t& c : slot->Font)
        c = L'F';

    wchar_t* line = static_cast<wchar_t*>(std::malloc(ValueLineChars * sizeof(wchar_t)));
    const int length = FormatValueText(slot, counterOpen, value, line);
    const uint32_t mode = (slot->PdhFlag & PdhUnitMask) >> PdhUnitShift;
    std::wstring expected = FieldText(slot->Title, TitleChars) +
                            (counterOpen ? ValuePart(mode, value) : std::wstring(L"---")) +
                            FieldText(slot->Unit, UnitChars);
    expected = expected.substr(0, ValueLineChars - 1);
    FuzzCheck(length >= 0 && length < ValueLineChars && line[length] == L'\0', Target,
              "the line ends within its capacity");
    FuzzCheck(std::wstring(line, static_cast<size_t>(length)) == expected, Target,
              "the line is title, value part and unit");
    std::free(line);
    std::free(slot);
    return 0;
}
