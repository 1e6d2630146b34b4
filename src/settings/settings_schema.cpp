// The settings file's schema tables and the load of the records from a settings text.
#include "settings/settings_schema.h"

#include <cstddef>

#include "counters/counter_run.h"
#include "port/port.h"
#include "settings/settings_text.h"

namespace {

// One entry of the tables below; offset is the field's byte offset in its record (offsetof).
constexpr SettingsKey Key(const char* name, KeyType type, uint8_t flags, size_t offset,
                          uint16_t chars, uint32_t longBit, int64_t def0, int64_t def1,
                          const wchar_t* text0, const wchar_t* text1, int64_t low = 0,
                          int64_t high = 0) {
    return {name,  type,    flags,        static_cast<uint16_t>(offset),
            chars, longBit, {def0, def1}, {text0, text1},
            low,   high};
}

// A [MAIN] key: the section is not per graph, so both defaults are the same.
constexpr SettingsKey MainKey(const char* name, size_t offset, KeyType type, int64_t def) {
    return Key(name, type, 0, offset, 0, 0, def, def, nullptr, nullptr);
}
// A [MAIN] number held to low ... high.
constexpr SettingsKey MainRange(const char* name, size_t offset, int64_t def, int64_t low,
                                int64_t high) {
    return Key(name, KeyType::Dec, KeyLimited, offset, 0, 0, def, def, nullptr, nullptr, low, high);
}
// A [MAIN] pair of percentages, each half held to low ... high (a high half of 0 kept).
constexpr SettingsKey MainPercents(const char* name, size_t offset, int64_t def, int64_t low,
                                   int64_t high) {
    return Key(name, KeyType::Dec, KeyPercentPair, offset, 0, 0, def, def, nullptr, nullptr, low,
               high);
}
// A [COUNTERn] number or heap text, with the defaults of graph 1 and graph 2.
constexpr SettingsKey SlotNum(const char* name, size_t offset, KeyType type, int64_t def0,
                              int64_t def1) {
    return Key(name, type, 0, offset, 0, 0, def0, def1, nullptr, nullptr);
}
// A [COUNTERn] 64-bit number held to low ... high.
constexpr SettingsKey SlotRange(const char* name, size_t offset, int64_t def0, int64_t def1,
                                int64_t low, int64_t high) {
    return Key(name, KeyType::I64, KeyLimited, offset, 0, 0, def0, def1, nullptr, nullptr, low,
               high);
}
// A [COUNTERn] text of a fixed capacity, terminator included, and its LongInFile bit.
constexpr SettingsKey SlotText(const char* name, size_t offset, uint16_t chars, uint32_t longBit,
                               const wchar_t* def0, const wchar_t* def1) {
    return Key(name, KeyType::Text, 0, offset, chars, longBit, 0, 0, def0, def1);
}
// SlotNum and SlotText for the font's keys, written only while the slot has a face name.
constexpr SettingsKey FontNum(const char* name, size_t offset, KeyType type, int64_t def0,
                              int64_t def1) {
    return Key(name, type, KeyFontPart, offset, 0, 0, def0, def1, nullptr, nullptr);
}
constexpr SettingsKey FontText(const char* name, size_t offset, uint16_t chars, uint32_t longBit,
                               const wchar_t* def0, const wchar_t* def1) {
    return Key(name, KeyType::Text, KeyFontPart, offset, chars, longBit, 0, 0, def0, def1);
}
// A [GRAPHn] or [ICONn] decimal, with the defaults of graph 1 and graph 2.
constexpr SettingsKey StyleKey(const char* name, size_t offset, int64_t def0, int64_t def1) {
    return Key(name, KeyType::Dec, 0, offset, 0, 0, def0, def1, nullptr, nullptr);
}
// A [GRAPHn] or [ICONn] width of 0 ... high: the window has one set, stored with graph 1 only.
constexpr SettingsKey WidthKey(const char* name, size_t offset, int64_t def0, int64_t def1,
                               int64_t high) {
    return Key(name, KeyType::Dec, KeyFirstOnly | KeyLimited, offset, 0, 0, def0, def1, nullptr,
               nullptr, 0, high);
}

// clang-format off
// Key name, field in SettingsRecords, type, default, and the range of a number.
constexpr SettingsKey MainKeys[] = {
    MainKey     ("Prop",      offsetof(SettingsRecords, Main.Prop),        KeyType::Dec, 0x603),
    MainRange   ("Interval",  offsetof(SettingsRecords, Main.Interval),    1000,
                 IntervalMinMs, IntervalMaxMs),
    MainPercents("WndAlpha",  offsetof(SettingsRecords, Main.WndAlpha),    0x00500032,
                 AlphaPercentMin, AlphaPercentMax),
    MainKey     ("ColWndLay", offsetof(SettingsRecords, Main.ColWndLay),   KeyType::Dec, 0),
    MainRange   ("SnapPixel", offsetof(SettingsRecords, Main.SnapPixel),   10,
                 SnapPixelMin, SnapPixelMax),
    MainKey     ("HkShow",    offsetof(SettingsRecords, Main.HkShow),      KeyType::Hex, 0x007B011D),
    MainKey     ("2ndGraph",  offsetof(SettingsRecords, Main.SecondGraph), KeyType::Dec, 0),
    MainKey     ("Priority",  offsetof(SettingsRecords, Main.Priority),    KeyType::Dec, 0),
    MainKey     ("WndPosX",   offsetof(SettingsRecords, Place.WndPosX),    KeyType::Dec, 0),
    MainKey     ("WndPosY",   offsetof(SettingsRecords, Place.WndPosY),    KeyType::Dec, 0),
    MainRange   ("WndWidth",  offsetof(SettingsRecords, Place.WndWidth),   142,
                 WndSideMin, WndWidthMax),
    MainRange   ("WndHeight", offsetof(SettingsRecords, Place.WndHeight),  43,
                 WndSideMin, WndHeightMax),
};

// Key name, field in CounterSlot, type or a text's capacity, defaults of graph 1 and graph 2.
constexpr SettingsKey CounterKeys[] = {
    SlotNum  ("PdhFlag",       offsetof(CounterSlot, PdhFlag),       KeyType::Dec,      1,   0),
    SlotRange("ValMax",        offsetof(CounterSlot, ValMax),        100, 100, 1, ValMaxLimit),
    SlotText ("Path",          offsetof(CounterSlot, Path),          PathChars,  LongPath,
              L"\\Processor(_Total)\\% Processor Time", L"\\Memory\\% Committed Bytes In Use"),
    SlotText ("Title",         offsetof(CounterSlot, Title),         TitleChars, LongTitle,
              L"CPU ", L"MEM "),
    SlotText ("Unit",          offsetof(CounterSlot, Unit),          UnitChars,  LongUnit,
              L" %",   L" %"),
    FontText ("Font",          offsetof(CounterSlot, Font),          FontChars,  LongFont,
              L"",     L""),
    FontNum  ("FontHigh",      offsetof(CounterSlot, FontHigh),      KeyType::Dec,      0,   0),
    FontNum  ("FontType",      offsetof(CounterSlot, FontType),      KeyType::Dec,      0,   0),
    SlotNum  ("AlarmFlag",     offsetof(CounterSlot, AlarmFlag),     KeyType::Hex,      0,   0),
    SlotNum  ("AlarmDuration", offsetof(CounterSlot, AlarmDuration), KeyType::Dec,      0,   0),
    SlotNum  ("AlarmBorder",   offsetof(CounterSlot, AlarmBorder),   KeyType::I64,      0,   0),
    SlotNum  ("AlarmFile",     offsetof(CounterSlot, AlarmFile),     KeyType::HeapText, 0,   0),
    SlotNum  ("AlarmOption",   offsetof(CounterSlot, AlarmOption),   KeyType::HeapText, 0,   0),
};

// Key name, field in DrawStyle, defaults of graph 1 and graph 2, and a width's highest value.
constexpr SettingsKey GraphKeys[] = {
    StyleKey("DrawFlag",     offsetof(DrawStyle, DrawFlag),     0xCFF,    0x8C5),
    StyleKey("ColLastBrush", offsetof(DrawStyle, ColLastBrush), 0x00FF00, 0x0000FF),
    StyleKey("ColLastPen",   offsetof(DrawStyle, ColLastPen),   0x00FF00, 0x0000FF),
    StyleKey("ColHistBrush", offsetof(DrawStyle, ColHistBrush), 0xFFFF00, 0x00FFFF),
    StyleKey("ColHistPen",   offsetof(DrawStyle, ColHistPen),   0xFFFF00, 0x00FFFF),
    StyleKey("ColText",      offsetof(DrawStyle, ColText),      0xFFFFFF, 0xFFFFFF),
    StyleKey("ColShadow",    offsetof(DrawStyle, ColShadow),    0,        0),
    StyleKey("ColFrame",     offsetof(DrawStyle, ColFrame),     0x808080, 0x808080),
    StyleKey("ColBackBrush", offsetof(DrawStyle, ColBackBrush), 0,        0),
    StyleKey("ColBackPen",   offsetof(DrawStyle, ColBackPen),   0xFF0000, 0xFF0000),
    WidthKey("LastWidth",    offsetof(DrawStyle, LastWidth),    0,        0, GraphWidthMax),
    WidthKey("BackWidth",    offsetof(DrawStyle, BackWidth),    10,       0, GraphWidthMax),
    WidthKey("BackHeight",   offsetof(DrawStyle, BackHeight),   10,       0, GraphWidthMax),
    WidthKey("FrameWidth",   offsetof(DrawStyle, FrameWidth),   1,        0, GraphFrameMax),
};

// Key name, field in DrawStyle, defaults of graph 1 and graph 2, and a width's highest value.
constexpr SettingsKey IconKeys[] = {
    StyleKey("DrawFlag",   offsetof(DrawStyle, IconDrawFlag),   0x43F,      0),
    StyleKey("ColorFlag",  offsetof(DrawStyle, ColorFlag),      0x080CEEAA, 0x0000BB99),
    WidthKey("LastWidth",  offsetof(DrawStyle, IconLastWidth),  0,          0, IconWidthMax),
    WidthKey("BackWidth",  offsetof(DrawStyle, IconBackWidth),  5,          0, IconWidthMax),
    WidthKey("BackHeight", offsetof(DrawStyle, IconBackHeight), 5,          0, IconWidthMax),
    WidthKey("FrameWidth", offsetof(DrawStyle, IconFrameWidth), 1,          0, IconFrameMax),
};
// clang-format on

template <int N> constexpr int CountOf(const SettingsKey (&)[N]) {
    return N;
}

// A number read from the file, held to the key's range.
int64_t Held(const SettingsKey* key, int64_t value) {
    if (key->Flags & KeyLimited)
        return HoldInRange(value, key->Low, key->High);
    if (key->Flags & KeyPercentPair)
        return HoldPercentPair(static_cast<uint32_t>(value), static_cast<int32_t>(key->Low),
                               static_cast<int32_t>(key->High));
    return value;
}

// The record's LongInFile, or null for a record that has none.
uint32_t* LongMask(const SettingsSection* section, void* record) {
    if (section->LongOffset < 0)
        return nullptr;
    return reinterpret_cast<uint32_t*>(static_cast<char*>(record) + section->LongOffset);
}

// Reads every key of one section into record, which the keys' offsets address.
void LoadSection(const SettingsText* text, const SettingsSection* section, int index,
                 void* record) {
    char name[32];
    BuildSectionName(section, index, name);
    char* base = static_cast<char*>(record);
    uint32_t* longMask = LongMask(section, record);
    if (longMask)
        *longMask = 0;
    for (int k = 0; k < section->KeyCount; k++) {
        const SettingsKey* key = &section->Keys[k];
        if ((key->Flags & KeyFirstOnly) && index != 0)
            continue;
        void* field = base + key->Offset;
        switch (key->Type) {
        case KeyType::Dec:
            // The file's number as written: an Interval of -1000 is held to the least, not
            // taken as a large unsigned period.
            *static_cast<int32_t*>(field) = static_cast<int32_t>(
                Held(key, GetIntValue(name, key->Name, static_cast<int32_t>(key->Default[index]),
                                      text)));
            break;
        case KeyType::Hex:
            *static_cast<uint32_t*>(field) =
                GetHexValue(name, key->Name, static_cast<uint32_t>(key->Default[index]), text);
            break;
        case KeyType::I64:
            *static_cast<int64_t*>(field) =
                Held(key, GetInt64Value(name, key->Name, key->Default[index], text));
            break;
        case KeyType::Text: {
            int bytes = GetTextValue(name, key->Name, nullptr, nullptr, 0, text);
            int chars = GetTextValue(name, key->Name, key->TextDefault[index],
                                     static_cast<wchar_t*>(field), key->Chars, text);
            if (bytes > 0 && chars == 0 && longMask)
                *longMask |= key->LongBit;
            break;
        }
        case KeyType::HeapText: {
            wchar_t** slotText = static_cast<wchar_t**>(field);
            PortHeapFree(*slotText);
            *slotText = nullptr;
            int size = GetTextValue(name, key->Name, L"", nullptr, 0, text);
            if (size > 0) {
                wchar_t* value = static_cast<wchar_t*>(
                    PortHeapAlloc((static_cast<size_t>(size) + 1) * sizeof(wchar_t)));
                if (value) {
                    GetTextValue(name, key->Name, L"", value, size + 1, text);
                    *slotText = value;
                }
            }
            break;
        }
        }
    }
}

// What the save does with a slot's font keys.
enum class FontLines {
    Write,  // the slot has a face name
    Delete, // it has none
    Leave,  // the file's face name was too long to hold: the three lines stay as they are
};

// Writes every key of one section from record, which the keys' offsets address.
SettingsText* SaveSection(const SettingsSection* section, int index, const void* record,
                          SettingsText* text, bool* failed, FontLines font = FontLines::Write) {
    char name[32];
    BuildSectionName(section, index, name);
    const char* base = static_cast<const char*>(record);
    uint32_t longMask = 0;
    if (section->LongOffset >= 0)
        longMask = *reinterpret_cast<const uint32_t*>(base + section->LongOffset);
    for (int k = 0; k < section->KeyCount; k++) {
        const SettingsKey* key = &section->Keys[k];
        if ((key->Flags & KeyFirstOnly) && index != 0)
            continue;
        if (key->Flags & KeyFontPart) {
            if (font == FontLines::Leave)
                continue;
            if (font == FontLines::Delete) {
                // Every such line goes: a second one would otherwise become the first and be
                // read as the font at the next start.
                while (DeleteKey(name, key->Name, text)) {
                }
                continue;
            }
        }
        const void* field = base + key->Offset;
        switch (key->Type) {
        case KeyType::Dec:
            text = SetIntValue(name, key->Name, *static_cast<const int32_t*>(field), text, failed);
            break;
        case KeyType::Hex:
            text = SetHexValue(name, key->Name, *static_cast<const uint32_t*>(field), text, failed);
            break;
        case KeyType::I64:
            text =
                SetInt64Value(name, key->Name, *static_cast<const int64_t*>(field), text, failed);
            break;
        case KeyType::Text: {
            const wchar_t* value = static_cast<const wchar_t*>(field);
            // A value the field could not hold stays in the file until one is written here.
            if ((longMask & key->LongBit) && value[0] == L'\0')
                break;
            text = SetTextValue(name, key->Name, value, text, failed);
            break;
        }
        case KeyType::HeapText:
            text =
                SetTextValue(name, key->Name, *static_cast<wchar_t* const*>(field), text, failed);
            break;
        }
    }
    return text;
}

} // namespace

const SettingsSection MainSection = {"MAIN", false, MainKeys, CountOf(MainKeys)};
const SettingsSection CounterSection = {"COUNTER", true, CounterKeys, CountOf(CounterKeys),
                                        static_cast<int>(offsetof(CounterSlot, LongInFile))};
const SettingsSection GraphSection = {"GRAPH", true, GraphKeys, CountOf(GraphKeys)};
const SettingsSection IconSection = {"ICON", true, IconKeys, CountOf(IconKeys)};

uint32_t HoldPercentPair(uint32_t value, int32_t low, int32_t high) {
    uint32_t window = static_cast<uint32_t>(HoldInRange(value & 0xFFFF, low, high));
    uint32_t hover = value >> 16;
    if (hover != 0)
        hover = static_cast<uint32_t>(HoldInRange(hover, low, high));
    return hover << 16 | window;
}

int BuildSectionName(const SettingsSection* section, int index, char* name) {
    int n = 0;
    for (const char* p = section->Prefix; *p && n < 30; p++)
        name[n++] = *p;
    if (section->PerGraph)
        name[n++] = static_cast<char>('1' + index);
    name[n] = '\0';
    return n;
}

void LoadSettingsRecords(const SettingsText* text, SettingsRecords* records, CounterRun* runs) {
    LoadSection(text, &MainSection, 0, records);
    for (int i = 0; i < 2; i++) {
        CounterSlot* slot = &records->Slot[i];
        DrawStyle* style = &records->Style[i];
        slot->Index = i;
        style->Index = i;
        LoadSection(text, &CounterSection, i, slot);
        LoadSection(text, &GraphSection, i, style);
        LoadSection(text, &IconSection, i, style);
        slot->Runtime = &runs[i];
    }
}

SettingsText* SaveSettingsRecords(const SettingsRecords* records, SettingsText* text,
                                  bool* failed) {
    text = SaveSection(&MainSection, 0, records, text, failed);
    for (int i = 0; i < 2; i++) {
        const CounterSlot* slot = &records->Slot[i];
        const DrawStyle* style = &records->Style[i];
        FontLines font = slot->Font[0] != L'\0'          ? FontLines::Write
                         : (slot->LongInFile & LongFont) ? FontLines::Leave
                                                         : FontLines::Delete;
        text = SaveSection(&CounterSection, i, slot, text, failed, font);
        text = SaveSection(&GraphSection, i, style, text, failed);
        text = SaveSection(&IconSection, i, style, text, failed);
    }
    return text;
}
