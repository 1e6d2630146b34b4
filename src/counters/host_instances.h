// The host's instance lists: the counters and instances of an object, as the files show them.
#pragma once

#include "counters/host_source.h"

// The counter library's EnumObjectItems: the host's own lists for the objects it serves on
// this computer, when their file can be read; every other call goes to the inner library.
PDH_STATUS WINAPI HostEnumObjectItems(LPCWSTR dataSource, LPCWSTR machine, LPCWSTR object,
                                      LPWSTR counterList, LPDWORD counterListLength,
                                      LPWSTR instanceList, LPDWORD instanceListLength,
                                      DWORD detailLevel, DWORD flags);
