// Number and text conversions shared by the settings, the value text, the alarms and dialogs.
#pragma once

// Length of a zero-terminated wide text; 0 for none.
int WideLength(const wchar_t* text);

// Copies at most capacity - 1 characters and the terminator; returns the characters copied.
// Writes nothing and returns 0 when either text is missing, capacity is below 2 or the
// source is empty.
int CopyWideText(wchar_t* destination, const wchar_t* source, int capacity);
