// The settings file's schema tables and the load of the records from a settings text.
#include "settings/settings_schema.h"

#include <cstddef>

#include "counters/counter_run.h"
#include "port/port.h"
#include "settings/settings_text.h"

namespace {

#define MAIN_KEY(name, type, field, def)                                                           \
    {                                                                                              \
        name, KeyType::type, 0, static_cast<uint16_t>(offsetof(SettingsRecords, field)), 0,        \
            {def, def}, {                                                                          \
            nullptr, nullptr                                                                       \
        }                                                                                          \
    }
#define SLOT_NUM(name, type, flags, field, def0, def1)                                             \
    {                                                                                              \
        name, KeyType::type, flags, static_cast<uint16_t>(offsetof(CounterSlot, field)), 0,        \
            {def0, def1}, {                                                                        \
            nullptr, nullptr                                                                       \
        }                                                                                          \
    }
#define SLOT_TEXT(name, field, chars, def0, def1)                                                  \
    {                                                                                              \
        name, KeyType::Text, 0, static_cast<uint16_t>(offsetof(CounterSlot, field)), chars,        \
            {0, 0}, {                                                                              \
            def0, def1                                                                             \
        }                                                                                          \
    }
#define STYLE_NUM(name, flags, field, def0, def1)                                                  \
    {                                                                                              \
        name, KeyType::Dec, flags, static_cast<uint16_t>(offsetof(DrawStyle, field)), 0,           \
            {def0, def1}, {                                                                        \
            nullptr, nullptr                                                                       \
        }                                                                                          \
    }

const SettingsKey MainKeys[] = {
    MAIN_KEY("Prop", Dec, Main.Prop, 0x603),
    MAIN_KEY("Interval", Dec, Main.Interval, 1000),
    MAIN_KEY("WndAlpha", Dec, Main.WndAlpha, 0x00500032),
    MAIN_KEY("ColWndLay", Dec, Main.ColWndLay, 0),
    MAIN_KEY("SnapPixel", Dec, Main.SnapPixel, 10),
    MAIN_KEY("HkShow", Hex, Main.HkShow, 0x007B011D),
    MAIN_KEY("2ndGraph", Dec, Main.SecondGraph, 0),
    MAIN_KEY("Priority", Dec, Main.Priority, 0),
    MAIN_KEY("WndPosX", Dec, Place.WndPosX, 0),
    MAIN_KEY("WndPosY", Dec, Place.WndPosY, 0),
    MAIN_KEY("WndWidth", Dec, Place.WndWidth, 142),
    MAIN_KEY("WndHeight", Dec, Place.WndHeight, 43),
};

const SettingsKey CounterKeys[] = {
    SLOT_NUM("PdhFlag", Dec, 0, PdhFlag, 1, 0),
    SLOT_NUM("ValMax", I64, 0, ValMax, 100, 100),
    SLOT_TEXT("Path", Path, PathChars, L"\\Processor(_Total)\\% Processor Time",
              L"\\Memory\\% Committed Bytes In Use"),
    SLOT_TEXT("Title", Title, TitleChars, L"CPU ", L"MEM "),
    SLOT_TEXT("Unit", Unit, UnitChars, L" %", L" %"),
    {"Font",
     KeyType::Text,
     KeyFontPart,
     static_cast<uint16_t>(offsetof(CounterSlot, Font)),
     FontChars,
     {0, 0},
     {L"", L""}},
    SLOT_NUM("FontHigh", Dec, KeyFontPart, FontHigh, 0, 0),
    SLOT_NUM("FontType", Dec, KeyFontPart, FontType, 0, 0),
    SLOT_NUM("AlarmFlag", Hex, 0, AlarmFlag, 0, 0),
    SLOT_NUM("AlarmDuration", Dec, 0, AlarmDuration, 0, 0),
    SLOT_NUM("AlarmBorder", I64, 0, AlarmBorder, 0, 0),
    SLOT_NUM("AlarmFile", HeapText, 0, AlarmFile, 0, 0),
    SLOT_NUM("AlarmOption", HeapText, 0, AlarmOption, 0, 0),
};

const SettingsKey GraphKeys[] = {
    STYLE_NUM("DrawFlag", 0, DrawFlag, 0xCFF, 0x8C5),
    STYLE_NUM("ColLastBrush", 0, ColLastBrush, 0x00FF00, 0x0000FF),
    STYLE_NUM("ColLastPen", 0, ColLastPen, 0x00FF00, 0x0000FF),
    STYLE_NUM("ColHistBrush", 0, ColHistBrush, 0xFFFF00, 0x00FFFF),
    STYLE_NUM("ColHistPen", 0, ColHistPen, 0xFFFF00, 0x00FFFF),
    STYLE_NUM("ColText", 0, ColText, 0xFFFFFF, 0xFFFFFF),
    STYLE_NUM("ColShadow", 0, ColShadow, 0, 0),
    STYLE_NUM("ColFrame", 0, ColFrame, 0x808080, 0x808080),
    STYLE_NUM("ColBackBrush", 0, ColBackBrush, 0, 0),
    STYLE_NUM("ColBackPen", 0, ColBackPen, 0xFF0000, 0xFF0000),
    STYLE_NUM("LastWidth", KeyFirstOnly, LastWidth, 0, 0),
    STYLE_NUM("BackWidth", KeyFirstOnly, BackWidth, 10, 0),
    STYLE_NUM("BackHeight", KeyFirstOnly, BackHeight, 10, 0),
    STYLE_NUM("FrameWidth", KeyFirstOnly, FrameWidth, 1, 0),
};

const SettingsKey IconKeys[] = {
    STYLE_NUM("DrawFlag", 0, IconDrawFlag, 0x43F, 0),
    STYLE_NUM("ColorFlag", 0, ColorFlag, 0x080CEEAA, 0x0000BB99),
    STYLE_NUM("LastWidth", KeyFirstOnly, IconLastWidth, 0, 0),
    STYLE_NUM("BackWidth", KeyFirstOnly, IconBackWidth, 5, 0),
    STYLE_NUM("BackHeight", KeyFirstOnly, IconBackHeight, 5, 0),
    STYLE_NUM("FrameWidth", KeyFirstOnly, IconFrameWidth, 1, 0),
};

#undef MAIN_KEY
#undef SLOT_NUM
#undef SLOT_TEXT
#undef STYLE_NUM

template <int N> constexpr int CountOf(const SettingsKey (&)[N]) {
    return N;
}

// Reads every key of one section into record, which the keys' offsets address.
void LoadSection(const SettingsText* text, const SettingsSection* section, int index,
                 void* record) {
    char name[32];
    BuildSectionName(section, index, name);
    char* base = static_cast<char*>(record);
    for (int k = 0; k < section->KeyCount; k++) {
        const SettingsKey* key = &section->Keys[k];
        if ((key->Flags & KeyFirstOnly) && index != 0)
            continue;
        void* field = base + key->Offset;
        switch (key->Type) {
        case KeyType::Dec:
            *static_cast<int32_t*>(field) =
                GetIntValue(name, key->Name, static_cast<int32_t>(key->Default[index]), text);
            break;
        case KeyType::Hex:
            *static_cast<uint32_t*>(field) =
                GetHexValue(name, key->Name, static_cast<uint32_t>(key->Default[index]), text);
            break;
        case KeyType::I64:
            *static_cast<int64_t*>(field) =
                GetInt64Value(name, key->Name, key->Default[index], text);
            break;
        case KeyType::Text:
            GetTextValue(name, key->Name, key->TextDefault[index], static_cast<wchar_t*>(field),
                         key->Chars, text);
            break;
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

// Writes every key of one section from record, which the keys' offsets address.
SettingsText* SaveSection(const SettingsSection* section, int index, const void* record,
                          bool hasFont, SettingsText* text, bool* failed) {
    char name[32];
    BuildSectionName(section, index, name);
    const char* base = static_cast<const char*>(record);
    for (int k = 0; k < section->KeyCount; k++) {
        const SettingsKey* key = &section->Keys[k];
        if ((key->Flags & KeyFirstOnly) && index != 0)
            continue;
        if ((key->Flags & KeyFontPart) && !hasFont) {
            // Every such line goes: a second one would otherwise become the first and be
            // read as the font at the next start.
            while (DeleteKey(name, key->Name, text)) {
            }
            continue;
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
        case KeyType::Text:
            text = SetTextValue(name, key->Name, static_cast<const wchar_t*>(field), text, failed);
            break;
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
const SettingsSection CounterSection = {"COUNTER", true, CounterKeys, CountOf(CounterKeys)};
const SettingsSection GraphSection = {"GRAPH", true, GraphKeys, CountOf(GraphKeys)};
const SettingsSection IconSection = {"ICON", true, IconKeys, CountOf(IconKeys)};

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
    text = SaveSection(&MainSection, 0, records, false, text, failed);
    for (int i = 0; i < 2; i++) {
        const CounterSlot* slot = &records->Slot[i];
        const DrawStyle* style = &records->Style[i];
        text = SaveSection(&CounterSection, i, slot, slot->Font[0] != L'\0', text, failed);
        text = SaveSection(&GraphSection, i, style, false, text, failed);
        text = SaveSection(&IconSection, i, style, false, text, failed);
    }
    return text;
}
