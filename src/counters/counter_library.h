// The counter library: the table of performance-counter entry points the program calls.
#pragma once

#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

// Every counter call goes through one of these tables. By default it holds the system's
// pdh.dll functions; tests put in a library of their own.
struct CounterLibrary {
    PDH_STATUS(WINAPI* OpenQuery)(LPCWSTR dataSource, DWORD_PTR userData, PDH_HQUERY* query);
    PDH_STATUS(WINAPI* AddCounter)(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData,
                                   PDH_HCOUNTER* counter);
    // Absent before Windows Vista.
    PDH_STATUS(WINAPI* AddEnglishCounter)(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData,
                                          PDH_HCOUNTER* counter);
    PDH_STATUS(WINAPI* CollectQueryData)(PDH_HQUERY query);
    PDH_STATUS(WINAPI* GetFormattedCounterValue)(PDH_HCOUNTER counter, DWORD format,
                                                 LPDWORD type, PPDH_FMT_COUNTERVALUE value);
    PDH_STATUS(WINAPI* RemoveCounter)(PDH_HCOUNTER counter);
    PDH_STATUS(WINAPI* CloseQuery)(PDH_HQUERY query);
    PDH_STATUS(WINAPI* EnumObjectItems)(LPCWSTR dataSource, LPCWSTR machine, LPCWSTR object,
                                        LPWSTR counterList, LPDWORD counterListLength,
                                        LPWSTR instanceList, LPDWORD instanceListLength,
                                        DWORD detailLevel, DWORD flags);
    PDH_STATUS(WINAPI* BrowseCounters)(PPDH_BROWSE_DLG_CONFIG_W config);
};

// The system's counter library, loaded from the system folder on first use. When pdh.dll
// cannot be had, every entry answers failure.
const CounterLibrary* SystemCounterLibrary();
