// What the process was started with: the settings argument of its command line and the
// system's version.
#pragma once

#include <cstdint>

#include <windows.h>

// The ANSI command line past the program name and the blanks after it.
const char* SkipProgramName(const char* commandLine);

// The settings argument: the rest of a wide command line after the program name, blanks
// skipped, otherwise unchanged (quotes and inner blanks are kept). Never null.
const wchar_t* FindSettingsArgument(const wchar_t* commandLine);

// FindSettingsArgument of the process's own command line.
const wchar_t* GetSettingsArgument();

// Stores the system's major version; returns 1, or 0 (leaving *major alone) on failure.
int ReadOsVersion(uint32_t* major);
