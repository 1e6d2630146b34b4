// The settings file's schema: sections, keys, types and defaults, and the load of the records.
#pragma once

#include <cstdint>

#include "settings/settings_model.h"

struct CounterRun;
#include "settings/settings_text.h"

enum class KeyType : uint8_t {
    Dec,      // signed 32-bit decimal
    Hex,      // 32-bit hexadecimal, "0" or "0x%08X"
    I64,      // signed 64-bit decimal
    Text,     // fixed wide-character field of Chars characters
    HeapText, // wide text of any length on the process heap, or none
};

enum : uint8_t {
    KeyFirstOnly = 0x1,   // stored for graph 1 only ([GRAPH1], [ICON1])
    KeyFontPart = 0x2,    // written only while the slot has a font face name
    KeyLimited = 0x4,     // a number held to Low ... High at load
    KeyPercentPair = 0x8, // two percentages in the halves, each held to Low ... High at load;
                          // a high half of 0 stays 0
};

struct SettingsKey {
    const char* Name;
    KeyType Type;
    uint8_t Flags;
    uint16_t Offset;  // byte offset of the field in its record
    uint16_t Chars;   // capacity of a Text field, terminator included
    uint32_t LongBit; // Text: the record's LongInFile bit for a value the field cannot hold
    int64_t Default[2];
    const wchar_t* TextDefault[2];
    int64_t Low, High; // the range of KeyLimited and KeyPercentPair
};

struct SettingsSection {
    const char* Prefix; // "MAIN", or the prefix that the graph number follows
    bool PerGraph;
    const SettingsKey* Keys;
    int KeyCount;
    int LongOffset = -1; // byte offset of the record's LongInFile; -1: the record has none
};

// The schema in writing order: [MAIN] (fields of SettingsRecords), then per graph
// [COUNTERn] (CounterSlot), [GRAPHn] and [ICONn] (DrawStyle).
extern const SettingsSection MainSection;
extern const SettingsSection CounterSection;
extern const SettingsSection GraphSection;
extern const SettingsSection IconSection;

// Each 16-bit half of value held to low ... high, but a high half of 0, which has a meaning of
// its own, kept.
uint32_t HoldPercentPair(uint32_t value, int32_t low, int32_t high);

// Builds "COUNTER1" and the like; returns the length. name has room for 32 bytes.
int BuildSectionName(const SettingsSection* section, int index, char* name);

// Fills every record from text, or with the defaults where text, a section or a key is
// missing, each number held to the range the settings window holds it to. A text value too long
// for its field leaves the field empty and is noted in the slot's LongInFile. Links each slot's
// Runtime to runs[index]. ChangeMask and graph 2's widths keep what they hold. The alarm texts
// are replaced (old ones freed).
void LoadSettingsRecords(const SettingsText* text, SettingsRecords* records, CounterRun* runs);
// Writes every record into text in the schema's order, the font keys only while the slot has
// a face name (they are deleted otherwise), the width keys only for graph 1. A text field that
// is empty because the file's value was too long for it leaves that line (for the face name,
// all three font lines) as it is. Returns the text to continue with; *failed is set when a
// write found no memory (the text then lacks it).
SettingsText* SaveSettingsRecords(const SettingsRecords* records, SettingsText* text, bool* failed);
