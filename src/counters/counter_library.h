// The counter library: the table of performance-counter entry points the program calls.
#pragma once

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

// Every counter call goes through one of these tables. By default it holds the system's
// pdh.dll functions; tests put in a library of their own, which must answer as Windows does.
// What Windows answers, per call, as the program relies on it:
struct CounterLibrary {
    // ERROR_SUCCESS and a query handle, or a status and no handle.
    PDH_STATUS(WINAPI* OpenQuery)(LPCWSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query);
    // Takes localised object and counter names only. PDH_CSTATUS_NO_OBJECT or
    // PDH_CSTATUS_NO_COUNTER (or PDH_CSTATUS_BAD_COUNTERNAME) for names it does not know,
    // which on a non-English Windows includes the English ones. An instance that does not
    // exist (yet) is no error: the counter is added and has no value until it appears.
    PDH_STATUS(WINAPI* AddCounter)(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData,
                                   PDH_HCOUNTER* counter);
    // The same for English names, on every Windows. A path with a wildcard instance "(*)" is
    // added unexpanded, its other parts localised. Absent before Windows Vista.
    PDH_STATUS(WINAPI* AddEnglishCounter)(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData,
                                          PDH_HCOUNTER* counter);
    // ERROR_SUCCESS when the query's counters were collected; PDH_NO_DATA when the query has
    // no counter.
    PDH_STATUS(WINAPI* CollectQueryData)(PDH_HQUERY query);
    // ERROR_SUCCESS with value->CStatus PDH_CSTATUS_VALID_DATA or PDH_CSTATUS_NEW_DATA when
    // there is a value. A rate counter (processor time, bytes per second) has none before the
    // second collection since it was added: PDH_INVALID_DATA, with the reason in
    // value->CStatus (PDH_CSTATUS_INVALID_DATA). PDH_INVALID_ARGUMENT for a format without
    // one of PDH_FMT_LONG, PDH_FMT_DOUBLE or PDH_FMT_LARGE; PDH_INVALID_HANDLE for a counter
    // that is not one. Percentages are capped at 100 unless PDH_FMT_NOCAP100 is given.
    PDH_STATUS(WINAPI* GetFormattedCounterValue)(PDH_HCOUNTER counter, DWORD format,
                                                 LPDWORD type, PPDH_FMT_COUNTERVALUE value);
    PDH_STATUS(WINAPI* RemoveCounter)(PDH_HCOUNTER counter);
    // Closing a query removes its counters with it.
    PDH_STATUS(WINAPI* CloseQuery)(PDH_HQUERY query);
    // Lists an object's counters and instances, each list a multi-string. A length of zero on
    // input answers PDH_MORE_DATA and the length each list needs; both lists must have room,
    // a counter list of length zero too. A length short of the need also answers
    // PDH_MORE_DATA, and the lengths it reports then are not to be relied on. An object
    // without instances needs 0 for its instance list, one whose instances are all gone 2.
    // Takes localised object names only: PDH_CSTATUS_NO_OBJECT for any other.
    PDH_STATUS(WINAPI* EnumObjectItems)(LPCWSTR dataSource, LPCWSTR machine, LPCWSTR object,
                                        LPWSTR counterList, LPDWORD counterListLength,
                                        LPWSTR instanceList, LPDWORD instanceListLength,
                                        DWORD detailLevel, DWORD flags);
    PDH_STATUS(WINAPI* BrowseCounters)(PPDH_BROWSE_DLG_CONFIG_W config);
    // A counter's description, its strings in the same block after the record. A size of zero
    // on input (or one too small) answers PDH_MORE_DATA and the bytes needed. szFullPath is
    // the counter's localised path, its wildcard kept.
    PDH_STATUS(WINAPI* GetCounterInfo)(PDH_HCOUNTER counter, BOOLEAN explainText,
                                       LPDWORD bufferSize, PPDH_COUNTER_INFO_W info);
};

// The system's counter library, loaded from the system folder on first use. When pdh.dll
// cannot be had, every entry answers failure.
const CounterLibrary* SystemCounterLibrary();
