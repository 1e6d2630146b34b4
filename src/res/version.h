// The program's version, shared by the version resource, the package script and the code.
#pragma once

#define FERRO_VERSION_MAJOR 0
#define FERRO_VERSION_MINOR 1
#define FERRO_VERSION_PATCH 0
#define FERRO_VERSION_TEXT "0.1.0"
#define FERRO_PRODUCT_NAME "Ferrogauge"
#define FERRO_COPYRIGHT "Copyright (C) 2026 The Ferrogauge developers"

#ifndef RC_INVOKED
// The program's name as its windows and message boxes show it.
constexpr wchar_t ProgramTitle[] = L"" FERRO_PRODUCT_NAME;
#endif
