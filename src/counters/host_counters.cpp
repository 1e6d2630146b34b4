// The host counter source: Linux accounting files served as counters, under Wine.
#include "counters/host_counters.h"

#include <climits>
#include <cstring>

#include "counters/host_files.h"
#include "counters/host_instances.h"
#include "counters/host_paths.h"
#include "counters/host_source.h"
#include "counters/host_values.h"

HostSource TheHostSource;

namespace {

constexpr const wchar_t* FileNames[FileCount] = {L"\\stat", L"\\meminfo", L"\\net\\dev",
                                                 L"\\diskstats"};
constexpr uint32_t QueryMagic = 0x51747346;   // "FstQ"
constexpr uint32_t CounterMagic = 0x43747346; // "FstC"

HostQuery* ValidQuery(PDH_HQUERY handle) {
    HostQuery* query = static_cast<HostQuery*>(handle);
    return query && query->Magic == QueryMagic ? query : nullptr;
}

HostCounter* ValidCounter(PDH_HCOUNTER handle) {
    HostCounter* counter = static_cast<HostCounter*>(handle);
    return counter && counter->Magic == CounterMagic ? counter : nullptr;
}

HostCounter* NewCounter(HostQuery* query) {
    HostCounter* counter = static_cast<HostCounter*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(HostCounter)));
    if (!counter)
        return nullptr;
    counter->Magic = CounterMagic;
    counter->Query = query;
    counter->Next = query->First;
    query->First = counter;
    return counter;
}

void FreeCounter(HostCounter* counter) {
    HostQuery* query = counter->Query;
    for (HostCounter** link = &query->First; *link; link = &(*link)->Next) {
        if (*link == counter) {
            *link = counter->Next;
            break;
        }
    }
    if (counter->Inner)
        query->InnerCounters--;
    counter->Magic = 0;
    HeapFree(GetProcessHeap(), 0, counter);
}

using AddFunction = PDH_STATUS(WINAPI*)(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER*);

PDH_STATUS AddWith(AddFunction innerAdd, PDH_HQUERY handle, LPCWSTR path, DWORD_PTR userData,
                   PDH_HCOUNTER* result) {
    if (!result)
        return PDH_INVALID_ARGUMENT;
    *result = nullptr;
    HostQuery* query = ValidQuery(handle);
    if (!query || !path)
        return query ? PDH_INVALID_ARGUMENT : PDH_INVALID_HANDLE;

    int cpu;
    char interfaceName[InterfaceChars];
    const KnownCounter* known =
        query->ServesHost ? MatchKnownPath(path, &cpu, interfaceName) : nullptr;
    long length = known ? ReadHostFile(known->File) : -1;
    if (known && length >= 0) {
        HostCounter* counter = NewCounter(query);
        if (!counter)
            return PDH_MEMORY_ALLOCATION_FAILURE;
        counter->Host = known;
        counter->Cpu = cpu;
        memcpy(counter->Interface, interfaceName, sizeof counter->Interface);
        // An instance the file does not list is added all the same, as Windows adds it: its
        // reads answer PDH_CSTATUS_NO_INSTANCE until it appears.
        *result = counter;
        return ERROR_SUCCESS;
    }

    // Not the host's (or its file cannot be read here): the inner library's counter.
    if (!innerAdd)
        return PDH_CSTATUS_NO_COUNTER;
    if (!query->Inner)
        return PDH_CSTATUS_NO_MACHINE;
    PDH_HCOUNTER inner = nullptr;
    PDH_STATUS status = innerAdd(query->Inner, path, userData, &inner);
    if (status != ERROR_SUCCESS)
        return status;
    HostCounter* counter = NewCounter(query);
    if (!counter) {
        TheHostSource.Inner->RemoveCounter(inner);
        return PDH_MEMORY_ALLOCATION_FAILURE;
    }
    counter->Inner = inner;
    query->InnerCounters++;
    *result = counter;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI HostOpenQuery(LPCWSTR dataSource, DWORD_PTR userData, PDH_HQUERY* result) {
    if (!result)
        return PDH_INVALID_ARGUMENT;
    *result = nullptr;
    bool servesHost = !dataSource || !dataSource[0];
    PDH_HQUERY inner = nullptr;
    PDH_STATUS status = TheHostSource.Inner->OpenQuery(dataSource, userData, &inner);
    if (status != ERROR_SUCCESS) {
        inner = nullptr;
        if (!servesHost)
            return status;
    }
    HostQuery* query =
        static_cast<HostQuery*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(HostQuery)));
    if (!query) {
        if (inner)
            TheHostSource.Inner->CloseQuery(inner);
        return PDH_MEMORY_ALLOCATION_FAILURE;
    }
    query->Magic = QueryMagic;
    query->Inner = inner;
    query->ServesHost = servesHost;
    *result = query;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI HostAddCounter(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData,
                                 PDH_HCOUNTER* counter) {
    return AddWith(TheHostSource.Inner->AddCounter, query, path, userData, counter);
}

PDH_STATUS WINAPI HostAddEnglishCounter(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData,
                                        PDH_HCOUNTER* counter) {
    return AddWith(TheHostSource.Inner->AddEnglishCounter, query, path, userData, counter);
}

// Reads each file the query's host counters need once, then updates those counters.
PDH_STATUS WINAPI HostCollectQueryData(PDH_HQUERY handle) {
    HostQuery* query = ValidQuery(handle);
    if (!query)
        return PDH_INVALID_HANDLE;
    PDH_STATUS innerStatus = PDH_NO_DATA;
    if (query->InnerCounters > 0 && query->Inner)
        innerStatus = TheHostSource.Inner->CollectQueryData(query->Inner);
    bool anyHost = false;
    int64_t now = TheHostSource.Clock();
    for (int file = 0; file < FileCount; file++) {
        long length = -2; // not read yet
        for (HostCounter* counter = query->First; counter; counter = counter->Next) {
            if (!counter->Host || counter->Host->File != file)
                continue;
            if (length == -2)
                length = ReadHostFile(static_cast<HostFile>(file));
            CollectHostCounter(counter, length, now);
            anyHost = true;
        }
    }
    return anyHost ? ERROR_SUCCESS : innerStatus;
}

PDH_STATUS WINAPI HostGetFormattedCounterValue(PDH_HCOUNTER handle, DWORD format, LPDWORD type,
                                               PPDH_FMT_COUNTERVALUE value) {
    HostCounter* counter = ValidCounter(handle);
    if (!counter)
        return PDH_INVALID_HANDLE;
    if (!counter->Host)
        return TheHostSource.Inner->GetFormattedCounterValue(counter->Inner, format, type, value);
    if (!value)
        return PDH_INVALID_ARGUMENT;
    if (type)
        *type = counter->Host->Type;
    double number = 0;
    PDH_STATUS status = ComputeValue(counter, &number);
    if (status != ERROR_SUCCESS) {
        value->CStatus = status;
        return PDH_INVALID_DATA;
    }
    bool percentage =
        counter->Host->Kind == HostKind::CpuBusy || counter->Host->Kind == HostKind::CommitPercent;
    if (percentage && number > 100 && !(format & PDH_FMT_NOCAP100))
        number = 100;
    if (format & PDH_FMT_1000)
        number *= 1000;
    if (format & PDH_FMT_DOUBLE) {
        value->doubleValue = number;
    } else if (format & PDH_FMT_LARGE) {
        value->largeValue = number >= 9.2e18 ? INT64_MAX : static_cast<LONGLONG>(number);
    } else if (format & PDH_FMT_LONG) {
        value->longValue = number >= 2147483647.0 ? LONG_MAX : static_cast<LONG>(number);
    } else {
        return PDH_INVALID_ARGUMENT;
    }
    value->CStatus = PDH_CSTATUS_VALID_DATA;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI HostRemoveCounter(PDH_HCOUNTER handle) {
    HostCounter* counter = ValidCounter(handle);
    if (!counter)
        return PDH_INVALID_HANDLE;
    if (counter->Inner)
        TheHostSource.Inner->RemoveCounter(counter->Inner);
    FreeCounter(counter);
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI HostCloseQuery(PDH_HQUERY handle) {
    HostQuery* query = ValidQuery(handle);
    if (!query)
        return PDH_INVALID_HANDLE;
    // Closing the inner query removes its counters with it.
    while (query->First) {
        query->First->Inner = nullptr;
        FreeCounter(query->First);
    }
    if (query->Inner)
        TheHostSource.Inner->CloseQuery(query->Inner);
    query->Magic = 0;
    HeapFree(GetProcessHeap(), 0, query);
    return ERROR_SUCCESS;
}

// The description of a counter: for the host's own, its path and type, as Windows lays the
// record out (the strings after it in the same block).
PDH_STATUS WINAPI HostGetCounterInfo(PDH_HCOUNTER handle, BOOLEAN explainText, LPDWORD bytes,
                                     PPDH_COUNTER_INFO_W info) {
    HostCounter* counter = ValidCounter(handle);
    if (!counter)
        return PDH_INVALID_HANDLE;
    if (!counter->Host)
        return TheHostSource.Inner->GetCounterInfo(counter->Inner, explainText, bytes, info);
    if (!bytes)
        return PDH_INVALID_ARGUMENT;
    const KnownCounter* known = counter->Host;
    wchar_t instance[InterfaceChars];
    instance[0] = L'\0';
    if (counter->Cpu >= 0)
        wsprintfW(instance, L"%d", counter->Cpu);
    else if (known->Rule == InstanceRule::Named)
        MultiByteToWideChar(CP_UTF8, 0, counter->Interface, -1, instance, InterfaceChars);
    else if (known->Rule != InstanceRule::None)
        lstrcpyW(instance, TotalInstance);
    wchar_t path[HostPathChars];
    if (known->Rule == InstanceRule::None)
        wsprintfW(path, L"\\%s\\%s", known->Object, known->Counter);
    else
        wsprintfW(path, L"\\%s(%s)\\%s", known->Object, instance, known->Counter);
    DWORD need =
        static_cast<DWORD>(sizeof(PDH_COUNTER_INFO_W) + (lstrlenW(path) + 1) * sizeof(wchar_t));
    if (!info || *bytes < need) {
        *bytes = need;
        return PDH_MORE_DATA;
    }
    ZeroMemory(info, need);
    info->dwLength = need;
    info->dwType = known->Type;
    info->szFullPath = reinterpret_cast<LPWSTR>(info + 1);
    lstrcpyW(info->szFullPath, path);
    *bytes = need;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI HostBrowseCounters(PPDH_BROWSE_DLG_CONFIG_W config) {
    return TheHostSource.Inner->BrowseCounters(config);
}

int64_t PerformanceClock() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    int64_t f = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    return count.QuadPart / f * 10000000 + count.QuadPart % f * 10000000 / f;
}

} // namespace

const CounterLibrary* HostCounterLibrary(const CounterLibrary* inner, const wchar_t* root,
                                         HostClock clock) {
    static const CounterLibrary library = {
        HostOpenQuery,
        HostAddCounter,
        HostAddEnglishCounter,
        HostCollectQueryData,
        HostGetFormattedCounterValue,
        HostRemoveCounter,
        HostCloseQuery,
        HostEnumObjectItems,
        HostBrowseCounters,
        HostGetCounterInfo,
    };
    TheHostSource.Inner = inner;
    TheHostSource.Clock = clock ? clock : PerformanceClock;
    int rootLength = root ? lstrlenW(root) : 0;
    while (rootLength > 0 && (root[rootLength - 1] == L'\\' || root[rootLength - 1] == L'/'))
        rootLength--;
    for (int file = 0; file < FileCount; file++) {
        wchar_t* path = TheHostSource.Path[file];
        int n = 0;
        // A root too long for a path leaves the file unreadable, and every path to inner.
        if (rootLength + lstrlenW(FileNames[file]) < HostPathChars) {
            for (; n < rootLength; n++)
                path[n] = root[n];
            for (const wchar_t* p = FileNames[file]; *p; p++)
                path[n++] = *p;
        }
        path[n] = L'\0';
    }
    return &library;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

const CounterLibrary* ProgramCounterLibrary() {
    const CounterLibrary* system = SystemCounterLibrary();
    if (!RunningUnderWine())
        return system;
    wchar_t root[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(HostProcVariable, root, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        lstrcpyW(root, L"Z:\\proc");
    return HostCounterLibrary(system, root, PerformanceClock);
}
