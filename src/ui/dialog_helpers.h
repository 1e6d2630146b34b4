// Helpers shared by the settings pages and dialogs: spinners, combo boxes from the string
// table, 64-bit edit boxes, centring, and the themed dialog background.
#pragma once

#include <cstdint>

#include <windows.h>

// Steps the edit box edit of dialog from its spinner scroll bar (request: WM_VSCROLL's whole
// wParam). Returns 1 when the edit box was rewritten, 0 when nothing was done.
int SpinEdit(HWND dialog, WPARAM request, HWND scrollBar, int edit);
// Sets up a spinner scroll bar: range low ... high, step, and a fixed position inside.
void SetupSpinner(HWND scrollBar, int low, int high, int step, int position);
// The module whose resources dialog was made from: the one the settings window was given.
HINSTANCE DialogInstance(HWND dialog);
// The string-table entry form of instance with %1 and %2 replaced by first and second (either
// may be null when the form does not use it), as a new text the caller frees with LocalFree;
// null when it cannot be had.
wchar_t* FormatResourceText(HINSTANCE instance, UINT form, const wchar_t* first,
                            const wchar_t* second = nullptr);
// A message box of owner (none: one of its own) with the program's name as its caption, showing
// the string-table entry form of the program with %1 replaced by insert; the box's answer, or 0
// when there was no text.
int ShowStringMessage(HWND owner, UINT form, const wchar_t* insert, UINT flags);
// Loads string-table entry id into text (capacity characters) and splits it in place at its
// line feeds into at most maxItems items; a line feed at the very end starts no item. Items
// after the last one found are empty. Returns the number found, 0 without the entry.
int LoadLines(HINSTANCE instance, UINT id, wchar_t* text, int capacity, wchar_t** items,
              int maxItems);
// Adds the items of string-table entry id (separated by line feeds) to combo. Returns the
// number added.
int FillComboFromString(HWND combo, HINSTANCE instance, UINT id);
int64_t GetDlgItemInt64(HWND dialog, int edit);
int SetDlgItemInt64(HWND dialog, int edit, int64_t value);
// Whether the button id of dialog is checked (or, for a three-state box, indeterminate).
bool IsChecked(HWND dialog, int id);
void EnableControl(HWND dialog, int id, bool on);
// The dialog base units of font, worked out as the dialog manager does (the average width of
// the 52 Latin letters, rounded, and the character height), so that a layout in dialog units
// follows the font the system gives a dialog at a scale change; those of the system font for
// none.
SIZE DialogBaseUnitsOf(HFONT font);
// Those of the dialog font of face and points that the dialog manager makes at dpi.
SIZE DialogBaseUnitsAt(const wchar_t* face, int points, int dpi);
// Maps r from dialog units to pixels with units, as MapDialogRect does with a dialog's own.
void MapDialogUnits(SIZE units, RECT* r);
// The width and height, in dialog units, of the dialog template id of instance (in the
// language the dialog functions would pick). False when it cannot be read.
bool DialogTemplateSize(HINSTANCE instance, int id, SIZE* size);
// Centres dialog on its parent (its owner). Returns 0 when it has none.
int CenterOnParent(HWND dialog);
// Turns on the themed tab background of a dialog, with UxTheme loaded once from the system
// folder. Returns 1 when the call succeeded.
int EnableDialogTheme(HWND window);
