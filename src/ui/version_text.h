// The program's version resource: the settings window's caption and the About box.
#pragma once

#include <windows.h>

// version.dll from the system folder with its three functions, loaded once; null when it
// or one of them is missing.
HMODULE LoadVersionApi();
// The product name, then for each prefix given (even empty) the prefix and the value of
// ProductVersion, LegalCopyright and Comments that the resource of path (null or empty: this
// program) has. Writes at most capacity characters with the terminator; with no output,
// returns the length needed. Returns the characters of the text, 0 when none can be read.
int GetVersionText(const wchar_t* path, wchar_t* output, int capacity, const wchar_t* versionPrefix,
                   const wchar_t* copyrightPrefix, const wchar_t* commentsPrefix);
// Room for the string of the two version prefixes.
constexpr int VersionPrefixChars = 32;
// The texts put before the version in the settings caption and in the About box, in the
// language in use, split out of text (VersionPrefixChars); each is empty when missing.
void VersionPrefixes(HINSTANCE instance, wchar_t* text, const wchar_t** caption,
                     const wchar_t** about);
// The About box of the main page's About button, owned by page: the version and, when given,
// the settings file in use.
void ShowAboutBox(HWND page, const wchar_t* settingsPath = nullptr);
