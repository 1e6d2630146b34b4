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
    // The counter status; by default valid after a good read and invalid after a failed one.
    DWORD cstatus = DefaultCStatus;
    static constexpr DWORD DefaultCStatus = 0xFFFFFFFF;
};

struct ScriptedPath {
    std::wstring path;
    PDH_STATUS addStatus = ERROR_SUCCESS;
    PDH_STATUS englishStatus = PDH_CSTATUS_NO_COUNTER;
    // Read results, one per read; the last one repeats.
    std::vector<ScriptedReading> readings = {{ERROR_SUCCESS, 0}};
    size_t nextReading = 0;
    // A rate counter has no value before the second collection since it was added.
    bool rate = false;
    int collectsAtAdd = 0;
};

struct ScriptedCounters {
    PDH_STATUS openStatus = ERROR_SUCCESS;
    // Collection results, one per call; the last one repeats.
    std::vector<PDH_STATUS> collectStatus = {ERROR_SUCCESS};
    std::vector<ScriptedPath> paths;
    PDH_STATUS enumStatus = ERROR_SUCCESS;
    std::wstring instances; // names separated by L'\0'
    bool objectHasInstances = true;
    std::wstring counterNames = std::wstring(L"c", 2); // names, each ended by L'\0'
    // Set: the object's local name, which alone the list query takes; the English name (the
    // object the script's paths name) is then known only to the English add.
    std::wstring localObject;
    // Names that join the instance list after each list query, as a network adapter may.
    std::wstring growBy;
    bool withEnglish = true;

    // What the program did.
    int opens = 0, closes = 0, collects = 0, removes = 0;
    std::vector<std::wstring> added, addedEnglish;
    std::wstring enumMachine, enumObject;
    bool enumMachineGiven = false;
    std::vector<std::wstring> enumObjects;
    int openQueries = 0; // queries open now
};

// Resets the script and returns it; the library serves it until the next call.
ScriptedCounters* ResetScript();
const CounterLibrary* ScriptedLibrary();
// A path that adds with ERROR_SUCCESS and reads value every time; processor time and the
// per-second counters read it from the second collection on, as on Windows.
ScriptedPath FixedPath(const wchar_t* path, int64_t value);
