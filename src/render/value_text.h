// Value text: a graph's caption line of title, latest value in its unit mode, and unit.
#pragma once

#include <cstdint>

#include "settings/settings_model.h"

// Capacity of the caption line in characters, terminator included.
constexpr int ValueLineChars = 64;

// Fills line (ValueLineChars characters) with Title, the value part of latest for the
// UnitMode of slot->PdhFlag (or "---" while the counter is not open) and Unit, cut where the
// line ends. Returns the length of the line.
int FormatValueText(const CounterSlot* slot, bool counterOpen, int64_t latest, wchar_t* line);

// value with a K, M, G or T suffix in steps of 1024 once it reaches 1000 (0.9K to 999K, ...).
// Values below 1000 print as the low 32 bits unsigned, so a negative one shows as a large
// number. Returns the length written, or 0 with nothing written when output is missing or
// capacity is too small for the branch taken (above 5 plain, above 10 for K to G, above 15
// for T).
int FormatAutoUnit(int64_t value, wchar_t* output, int capacity);
