// A counter library of the tests' own making: chosen statuses and values, and a record of
// every call the program made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "counters/counter_library.h"

struct ScriptedReading {
    PDH_STATUS status;
    int64_t value;
};

struct ScriptedPath {
    std::wstring path;
    PDH_STATUS addStatus = ERROR_SUCCESS;
    PDH_STATUS englishStatus = PDH_CSTATUS_NO_COUNTER;
    // Read results, one per read; the last one repeats.
    std::vector<ScriptedReading> readings = {{ERROR_SUCCESS, 0}};
    size_t nextReading = 0;
};

struct ScriptedCounters {
    PDH_STATUS openStatus = ERROR_SUCCESS;
    // Collection results, one per call; the last one repeats.
    std::vector<PDH_STATUS> collectStatus = {ERROR_SUCCESS};
    std::vector<ScriptedPath> paths;
    PDH_STATUS enumStatus = ERROR_SUCCESS;
    std::wstring instances; // a multi-string: names separated and ended by L'\0'
    bool withEnglish = true;

    // What the program did.
    int opens = 0, closes = 0, collects = 0, removes = 0;
    std::vector<std::wstring> added, addedEnglish;
    std::wstring enumMachine, enumObject;
    bool enumMachineGiven = false;
};

// Resets the script and returns it; the library serves it until the next call.
ScriptedCounters* ResetScript();
const CounterLibrary* ScriptedLibrary();
// A path that adds with ERROR_SUCCESS and reads value every time.
ScriptedPath FixedPath(const wchar_t* path, int64_t value);
