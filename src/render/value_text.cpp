// Value text: the caption line of a graph and the automatic K/M/G/T unit.
#include "render/value_text.h"

#include "text/convert.h"

namespace {

// UnitMode values, bits 8-10 of PdhFlag, in the order of the combo box.
enum : uint32_t {
    UnitPlain = 0,
    UnitAutoBytes = 1,
    UnitKilobytes = 2,
    UnitMegabytes = 3,
    UnitAutoBits = 4,
    UnitBits = 5,
    UnitKilobits = 6,
    UnitMegabits = 7,
};

// Room for the longest value part: a sign, 19 digits, '.', a digit and the terminator.
constexpr int ValuePartChars = 24;

// The low 32 bits of value as an unsigned decimal.
int FormatLow32(int64_t value, wchar_t* output, int capacity) {
    return FormatUInt64(static_cast<uint32_t>(static_cast<uint64_t>(value)), output, capacity);
}

// whole "." digit; the digit is 0-9.
int FormatOneDecimal(int64_t whole, int64_t digit, wchar_t* output) {
    int n = FormatInt64(whole, output, ValuePartChars - 2);
    output[n++] = L'.';
    output[n++] = static_cast<wchar_t>(L'0' + digit);
    output[n] = L'\0';
    return n;
}

// The value part of the modes that need no more than ValuePartChars.
void FormatFixedUnit(uint32_t mode, int64_t value, wchar_t* part) {
    // Shifts of negative values are arithmetic: the whole part rounds toward minus infinity
    // and the digit comes from the low bits, so -1 reads -1.9.
    switch (mode) {
    case UnitKilobytes:
        FormatOneDecimal(value >> 10, ((value & 0x3FF) * 10) >> 10, part);
        break;
    case UnitMegabytes:
        FormatOneDecimal(value >> 20, (((value >> 10) & 0x3FF) * 10) >> 10, part);
        break;
    case UnitBits:
        FormatInt64(static_cast<int64_t>(static_cast<uint64_t>(value) << 3), part, ValuePartChars);
        break;
    case UnitKilobits:
        FormatOneDecimal(value >> 7, ((value & 0x7F) * 80) >> 10, part);
        break;
    case UnitMegabits:
        FormatOneDecimal(value >> 17, (((value >> 7) & 0x3FF) * 10) >> 10, part);
        break;
    default:
        FormatInt64(value, part, ValuePartChars);
        break;
    }
}

// Appends text, a field of textCapacity characters with its terminator, at line[length], cut
// at the end of the line; returns the new length.
int Append(wchar_t* line, int length, const wchar_t* text, int textCapacity) {
    return AppendWideText(line, length, ValueLineChars, text, textCapacity - 1);
}

} // namespace

int FormatValueText(const CounterSlot* slot, bool counterOpen, int64_t latest, wchar_t* line) {
    line[0] = L'\0';
    // The fixed fields are read no further than their own capacity.
    int length = Append(line, 0, slot->Title, TitleChars);
    if (!counterOpen) {
        length = Append(line, length, L"---", ValueLineChars);
    } else {
        uint32_t mode = (slot->PdhFlag & PdhUnitMask) >> PdhUnitShift;
        if (mode == UnitAutoBytes || mode == UnitAutoBits) {
            int64_t value = latest;
            if (mode == UnitAutoBits)
                value = static_cast<int64_t>(static_cast<uint64_t>(latest) << 3);
            length += FormatAutoUnit(value, line + length, ValueLineChars - length);
        } else {
            wchar_t part[ValuePartChars];
            FormatFixedUnit(mode, latest, part);
            length = Append(line, length, part, ValuePartChars);
        }
    }
    return Append(line, length, slot->Unit, UnitChars);
}

int FormatAutoUnit(int64_t value, wchar_t* output, int capacity) {
    if (!output || capacity <= 0)
        return 0;
    if (value < 1000) {
        // A negative value prints as ten digits: the capacity must hold them as well.
        if (capacity <= 5 || FormatLow32(value, nullptr, 0) > capacity)
            return 0;
        return FormatLow32(value, output, capacity);
    }
    static const wchar_t Suffixes[] = L"KMGT";
    int64_t quotient = value;
    int64_t remainder = 0;
    int step = 0;
    for (;; step++) {
        remainder = quotient & 0x3FF;
        quotient >>= 10;
        if (quotient < 1000 || step == 3)
            break;
    }
    if (capacity <= (step == 3 ? 15 : 10))
        return 0;
    int n = FormatLow32(quotient, output, capacity);
    if (quotient < 10) {
        // The first fraction digit of ".%03u" of (remainder * 1000) >> 10: truncated.
        int64_t thousandths = (remainder * 1000) >> 10;
        output[n++] = L'.';
        output[n++] = static_cast<wchar_t>(L'0' + thousandths / 100);
    }
    output[n++] = Suffixes[step];
    output[n] = L'\0';
    return n;
}
