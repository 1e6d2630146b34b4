// The alarm's templates: the expansion of escapes and fields, and the log line it appends.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/settings_model.h"

// Places of the expanded text, terminator included: a program's parameters, a log line.
constexpr int AlarmParameterChars = 260;
constexpr int AlarmLogChars = 128;

// Expands template into output (capacity characters, terminator included): "\\" "\n" "\r"
// "\b" (a beep, nothing written) and the fields %y %M %d %H %m %s %S %D %T of one reading of
// the local time, %v the value, %b the threshold, %t the title, %u the unit, %% a '%'. A field
// that does not fit is left out or cut. Returns the characters written.
int ExpandAlarmText(const wchar_t* text, wchar_t* output, int capacity, int64_t value,
                    int64_t threshold, const CounterSlot* slot);

// Appends the slot's log line (its AlarmOption expanded, in the ANSI code page, nothing added)
// to its AlarmFile. Returns the bytes written; 0 when nothing was.
size_t AppendAlarmLog(const CounterSlot* slot, int64_t value, int64_t threshold);
