// The settings window's graph and icon pages: how one graph is drawn in the window and in
// the tray icon, with colour buttons that pick from 16 colours or from the colour dialog.
#pragma once

#include <windows.h>

// The pages' dialog procedures; their creation parameter is the graph's DrawStyle.
INT_PTR CALLBACK GraphPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK IconPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The 16-colour popup at a colour button; the choice goes into the button.
void ShowColorPopup(HWND page, int button);
// A popup menu of the 16 palette colours in two columns of eight, drawn by the owner.
HMENU BuildColorMenu();
BOOL MeasureColorItem(HWND page, MEASUREITEMSTRUCT* item);
// Paints a colour button (id nonzero: its colour is its text) or a popup item (id 0).
void DrawColorSwatch(HWND page, int id, const DRAWITEMSTRUCT* item);
// The colour dialog for a colour button; nonzero when a colour was chosen.
BOOL PickColor(HWND page, int button);
UINT_PTR CALLBACK ColorDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The index of the first palette colour equal to colour, -1 when there is none.
int PaletteIndex(COLORREF colour);
