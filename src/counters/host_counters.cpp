// The host counter source: Linux accounting files served as counters, under Wine.
#include "counters/host_counters.h"

#include <climits>
#include <cstring>

#include <winperf.h>

#include "counters/proc_figures.h"

namespace {

enum class HostKind : uint8_t {
    CpuBusy,
    CommitPercent,
    AvailableBytes,
    CommittedBytes,
    NetTotal,
    NetReceived,
    NetSent,
    DiskTotal,
    DiskRead,
    DiskWrite,
};

enum HostFile : uint8_t { FileStat, FileMemInfo, FileNetDev, FileDiskStats, FileCount };

enum class InstanceRule : uint8_t {
    None,      // the object has no instances
    Processor, // "_Total" or a processor number
    Named,     // any name the file lists
    TotalOnly, // "_Total"
};

struct KnownCounter {
    const wchar_t* Object;
    const wchar_t* Counter;
    HostKind Kind;
    HostFile File;
    InstanceRule Rule;
    DWORD Type; // the counter type Windows gives it
};

constexpr KnownCounter Known[] = {
    {L"Processor", L"% Processor Time", HostKind::CpuBusy, FileStat, InstanceRule::Processor,
     PERF_100NSEC_TIMER_INV},
    {L"Memory", L"% Committed Bytes In Use", HostKind::CommitPercent, FileMemInfo,
     InstanceRule::None, PERF_RAW_FRACTION},
    {L"Memory", L"Available Bytes", HostKind::AvailableBytes, FileMemInfo, InstanceRule::None,
     PERF_COUNTER_LARGE_RAWCOUNT},
    {L"Memory", L"Committed Bytes", HostKind::CommittedBytes, FileMemInfo, InstanceRule::None,
     PERF_COUNTER_LARGE_RAWCOUNT},
    {L"Network Interface", L"Bytes Total/sec", HostKind::NetTotal, FileNetDev,
     InstanceRule::Named, PERF_COUNTER_BULK_COUNT},
    {L"Network Interface", L"Bytes Received/sec", HostKind::NetReceived, FileNetDev,
     InstanceRule::Named, PERF_COUNTER_BULK_COUNT},
    {L"Network Interface", L"Bytes Sent/sec", HostKind::NetSent, FileNetDev, InstanceRule::Named,
     PERF_COUNTER_BULK_COUNT},
    {L"PhysicalDisk", L"Disk Bytes/sec", HostKind::DiskTotal, FileDiskStats,
     InstanceRule::TotalOnly, PERF_COUNTER_BULK_COUNT},
    {L"PhysicalDisk", L"Disk Read Bytes/sec", HostKind::DiskRead, FileDiskStats,
     InstanceRule::TotalOnly, PERF_COUNTER_BULK_COUNT},
    {L"PhysicalDisk", L"Disk Write Bytes/sec", HostKind::DiskWrite, FileDiskStats,
     InstanceRule::TotalOnly, PERF_COUNTER_BULK_COUNT},
};

constexpr const wchar_t* FileNames[FileCount] = {L"\\stat", L"\\meminfo", L"\\net\\dev",
                                                 L"\\diskstats"};
constexpr wchar_t TotalInstance[] = L"_Total";
constexpr int InterfaceChars = 64;
constexpr int PathChars = MAX_PATH + 16;
constexpr uint32_t QueryMagic = 0x51747346;   // "FstQ"
constexpr uint32_t CounterMagic = 0x43747346; // "FstC"
constexpr int MaxCpus = 1024;

struct HostQuery;

struct HostCounter {
    uint32_t Magic;
    HostQuery* Query;
    HostCounter* Next;
    PDH_HCOUNTER Inner;       // a counter of the inner library's query, or null
    const KnownCounter* Host; // what the host serves, or null for an inner counter
    int Cpu;                  // the processor number, -1 for _Total
    char Interface[InterfaceChars];
    int Samples;     // collections that found the figures since the reference: 0, 1 or 2
    PDH_STATUS Lost; // why the latest collection found nothing, or ERROR_SUCCESS
    uint64_t Now[2];
    uint64_t Before[2];
    int64_t NowTime;
    int64_t BeforeTime;
};

struct HostQuery {
    uint32_t Magic;
    PDH_HQUERY Inner; // the inner library's query, or null when it could not be opened
    bool ServesHost;  // false for a query of a log file, which the inner library reads
    int InnerCounters;
    HostCounter* First;
};

struct HostSource {
    const CounterLibrary* Inner;
    HostClock Clock;
    wchar_t Path[FileCount][PathChars];
};

HostSource Source;
// The text of one file at a time, read again at every collection; the accounting files are
// a few kilobytes, and a longer one is taken up to its last whole line.
char Text[65536];

bool SameName(const wchar_t* a, int aLength, const wchar_t* b) {
    return CompareStringOrdinal(a, aLength, b, -1, TRUE) == CSTR_EQUAL;
}

// Reads file into Text; returns the length of its whole lines, or -1 when it cannot be read.
long ReadHostFile(HostFile file) {
    HANDLE handle = CreateFileW(Source.Path[file], GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    // The kernel's files report no size: read until the end.
    DWORD total = 0;
    bool failed = false;
    while (total < sizeof Text) {
        DWORD got = 0;
        if (!ReadFile(handle, Text + total, static_cast<DWORD>(sizeof Text - total), &got,
                      nullptr)) {
            failed = true;
            break;
        }
        if (got == 0)
            break;
        total += got;
    }
    CloseHandle(handle);
    if (failed)
        return -1;
    return static_cast<long>(WholeLinesLength(Text, total, total == sizeof Text));
}

// The figures of counter out of text: ERROR_SUCCESS, or PDH_CSTATUS_NO_INSTANCE.
PDH_STATUS Sample(const HostCounter* counter, const char* text, size_t length,
                  uint64_t figures[2]) {
    switch (counter->Host->Kind) {
    case HostKind::CpuBusy: {
        CpuTimes times;
        if (!FindCpuTimes(text, length, counter->Cpu, &times))
            return PDH_CSTATUS_NO_INSTANCE;
        figures[0] = times.Total;
        figures[1] = times.Idle;
        return ERROR_SUCCESS;
    }
    case HostKind::CommitPercent:
    case HostKind::CommittedBytes:
        if (!FindMemInfoKb(text, length, "Committed_AS", &figures[0]) ||
            !FindMemInfoKb(text, length, "CommitLimit", &figures[1]))
            return PDH_CSTATUS_NO_INSTANCE;
        return ERROR_SUCCESS;
    case HostKind::AvailableBytes: {
        if (FindMemInfoKb(text, length, "MemAvailable", &figures[0]))
            return ERROR_SUCCESS;
        // Kernels before 3.14 do not estimate it: free memory and the caches it can take.
        uint64_t freeKb, buffersKb, cachedKb;
        if (!FindMemInfoKb(text, length, "MemFree", &freeKb) ||
            !FindMemInfoKb(text, length, "Buffers", &buffersKb) ||
            !FindMemInfoKb(text, length, "Cached", &cachedKb))
            return PDH_CSTATUS_NO_INSTANCE;
        figures[0] = freeKb + buffersKb + cachedKb;
        return ERROR_SUCCESS;
    }
    case HostKind::NetTotal:
    case HostKind::NetReceived:
    case HostKind::NetSent: {
        NetBytes bytes;
        if (!FindNetBytes(text, length, counter->Interface, &bytes))
            return PDH_CSTATUS_NO_INSTANCE;
        figures[0] = bytes.Received;
        figures[1] = bytes.Sent;
        return ERROR_SUCCESS;
    }
    case HostKind::DiskTotal:
    case HostKind::DiskRead:
    case HostKind::DiskWrite: {
        DiskBytes bytes;
        if (!SumDiskBytes(text, length, &bytes))
            return PDH_CSTATUS_NO_INSTANCE;
        figures[0] = bytes.Read;
        figures[1] = bytes.Written;
        return ERROR_SUCCESS;
    }
    }
    return PDH_CSTATUS_NO_INSTANCE;
}

// Takes one collection of counter from the file text (length -1: the file was not read).
void CollectHostCounter(HostCounter* counter, long length, int64_t now) {
    uint64_t figures[2] = {};
    PDH_STATUS status = length < 0 ? PDH_CSTATUS_NO_OBJECT
                                   : Sample(counter, Text, static_cast<size_t>(length), figures);
    counter->Lost = status;
    if (status != ERROR_SUCCESS) {
        // The next collection that finds it again is a new reference.
        counter->Samples = 0;
        return;
    }
    counter->Before[0] = counter->Now[0];
    counter->Before[1] = counter->Now[1];
    counter->BeforeTime = counter->NowTime;
    counter->Now[0] = figures[0];
    counter->Now[1] = figures[1];
    counter->NowTime = now;
    if (counter->Samples < 2)
        counter->Samples++;
}

// The growth of a count between two collections. A count below 2^32 that fell from the
// upper half of that range has wrapped (the kernel keeps some drivers' counts in 32 bits);
// any other fall is a reset, and false.
bool CountDelta(uint64_t before, uint64_t now, uint64_t* delta) {
    if (now >= before) {
        *delta = now - before;
        return true;
    }
    if (before >= 0x80000000u && before <= 0xFFFFFFFFu && now <= 0xFFFFFFFFu) {
        *delta = now + 0x100000000u - before;
        return true;
    }
    return false;
}

// The counter's value, or the status that says why there is none.
PDH_STATUS ComputeValue(const HostCounter* counter, double* value) {
    if (counter->Samples == 0)
        return counter->Lost != ERROR_SUCCESS ? counter->Lost : PDH_CSTATUS_INVALID_DATA;
    constexpr double Kilo = 1024.0;
    switch (counter->Host->Kind) {
    case HostKind::CommitPercent:
        if (counter->Now[1] == 0)
            return PDH_CALC_NEGATIVE_DENOMINATOR;
        *value = 100.0 * static_cast<double>(counter->Now[0]) / static_cast<double>(counter->Now[1]);
        return ERROR_SUCCESS;
    case HostKind::AvailableBytes:
    case HostKind::CommittedBytes:
        *value = static_cast<double>(counter->Now[0]) * Kilo;
        return ERROR_SUCCESS;
    default:
        break;
    }

    // Processor time and the rates need two collections: the first is their reference.
    if (counter->Samples < 2)
        return PDH_CSTATUS_INVALID_DATA;
    if (counter->Host->Kind == HostKind::CpuBusy) {
        int64_t total = static_cast<int64_t>(counter->Now[0] - counter->Before[0]);
        // Idle time can go backwards on some kernels: the share then exceeds 100 and is capped.
        int64_t idle = static_cast<int64_t>(counter->Now[1] - counter->Before[1]);
        if (total <= 0)
            return PDH_CALC_NEGATIVE_DENOMINATOR;
        double busy = 100.0 * static_cast<double>(total - idle) / static_cast<double>(total);
        *value = busy < 0 ? 0 : busy;
        return ERROR_SUCCESS;
    }
    int64_t elapsed = counter->NowTime - counter->BeforeTime;
    if (elapsed <= 0)
        return PDH_CALC_NEGATIVE_DENOMINATOR;
    uint64_t first, second;
    if (!CountDelta(counter->Before[0], counter->Now[0], &first) ||
        !CountDelta(counter->Before[1], counter->Now[1], &second))
        return PDH_CALC_NEGATIVE_VALUE;
    double count;
    switch (counter->Host->Kind) {
    case HostKind::NetReceived:
    case HostKind::DiskRead:
        count = static_cast<double>(first);
        break;
    case HostKind::NetSent:
    case HostKind::DiskWrite:
        count = static_cast<double>(second);
        break;
    default:
        count = static_cast<double>(first) + static_cast<double>(second);
        break;
    }
    *value = count * 1e7 / static_cast<double>(elapsed);
    return ERROR_SUCCESS;
}

HostQuery* ValidQuery(PDH_HQUERY handle) {
    HostQuery* query = static_cast<HostQuery*>(handle);
    return query && query->Magic == QueryMagic ? query : nullptr;
}

HostCounter* ValidCounter(PDH_HCOUNTER handle) {
    HostCounter* counter = static_cast<HostCounter*>(handle);
    return counter && counter->Magic == CounterMagic ? counter : nullptr;
}

// Splits "\Object(Instance)\Counter"; false for any other form (a machine name, a wildcard).
bool SplitPath(const wchar_t* path, const wchar_t** object, int* objectLength,
               const wchar_t** instance, int* instanceLength, const wchar_t** counter) {
    if (!path || path[0] != L'\\' || path[1] == L'\\')
        return false;
    const wchar_t* p = path + 1;
    *object = p;
    while (*p && *p != L'(' && *p != L'\\')
        p++;
    *objectLength = static_cast<int>(p - *object);
    *instance = nullptr;
    *instanceLength = 0;
    if (*p == L'(') {
        *instance = ++p;
        while (*p && *p != L')')
            p++;
        if (*p != L')')
            return false;
        *instanceLength = static_cast<int>(p - *instance);
        p++;
    }
    if (*p != L'\\' || *objectLength == 0)
        return false;
    *counter = p + 1;
    for (const wchar_t* q = path; *q; q++) {
        if (*q == L'*' || *q == L'?')
            return false;
    }
    for (const wchar_t* q = *counter; *q; q++) {
        if (*q == L'\\')
            return false;
    }
    return true;
}

// Finds what path names among the counters the host serves. Fills the processor number or
// the interface name of the instance. False when the host does not serve the path.
const KnownCounter* MatchKnownPath(const wchar_t* path, int* cpu, char* interfaceName) {
    const wchar_t *object, *instance, *counterName;
    int objectLength, instanceLength;
    if (!SplitPath(path, &object, &objectLength, &instance, &instanceLength, &counterName))
        return nullptr;
    const KnownCounter* known = nullptr;
    for (const KnownCounter& k : Known) {
        if (SameName(object, objectLength, k.Object) && SameName(counterName, -1, k.Counter)) {
            known = &k;
            break;
        }
    }
    if (!known)
        return nullptr;
    *cpu = -1;
    interfaceName[0] = '\0';
    switch (known->Rule) {
    case InstanceRule::None:
        return instance ? nullptr : known;
    case InstanceRule::TotalOnly:
        return instance && SameName(instance, instanceLength, TotalInstance) ? known : nullptr;
    case InstanceRule::Processor: {
        if (!instance)
            return nullptr;
        if (SameName(instance, instanceLength, TotalInstance))
            return known;
        if (instanceLength < 1 || instanceLength > 6)
            return nullptr;
        int number = 0;
        for (int i = 0; i < instanceLength; i++) {
            if (instance[i] < L'0' || instance[i] > L'9')
                return nullptr;
            number = number * 10 + (instance[i] - L'0');
        }
        *cpu = number;
        return known;
    }
    case InstanceRule::Named:
        if (!instance)
            return nullptr;
        // An empty or overlong name is served, and found on no interface.
        {
            int n = instanceLength > 0
                        ? WideCharToMultiByte(CP_UTF8, 0, instance, instanceLength,
                                              interfaceName, InterfaceChars - 1, nullptr, nullptr)
                        : 0;
            interfaceName[n] = '\0';
        }
        return known;
    }
    return nullptr;
}

HostCounter* NewCounter(HostQuery* query) {
    HostCounter* counter =
        static_cast<HostCounter*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(HostCounter)));
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
    const KnownCounter* known = query->ServesHost ? MatchKnownPath(path, &cpu, interfaceName) : nullptr;
    long length = known ? ReadHostFile(known->File) : -1;
    if (known && length >= 0) {
        HostCounter* counter = NewCounter(query);
        if (!counter)
            return PDH_MEMORY_ALLOCATION_FAILURE;
        counter->Host = known;
        counter->Cpu = cpu;
        memcpy(counter->Interface, interfaceName, sizeof counter->Interface);
        // An instance the file does not list is refused now rather than read as missing.
        uint64_t figures[2];
        if (Sample(counter, Text, static_cast<size_t>(length), figures) != ERROR_SUCCESS) {
            FreeCounter(counter);
            return PDH_CSTATUS_NO_INSTANCE;
        }
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
        Source.Inner->RemoveCounter(inner);
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
    PDH_STATUS status = Source.Inner->OpenQuery(dataSource, userData, &inner);
    if (status != ERROR_SUCCESS) {
        inner = nullptr;
        if (!servesHost)
            return status;
    }
    HostQuery* query =
        static_cast<HostQuery*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(HostQuery)));
    if (!query) {
        if (inner)
            Source.Inner->CloseQuery(inner);
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
    return AddWith(Source.Inner->AddCounter, query, path, userData, counter);
}

PDH_STATUS WINAPI HostAddEnglishCounter(PDH_HQUERY query, LPCWSTR path, DWORD_PTR userData,
                                        PDH_HCOUNTER* counter) {
    return AddWith(Source.Inner->AddEnglishCounter, query, path, userData, counter);
}

// Reads each file the query's host counters need once, then updates those counters.
PDH_STATUS WINAPI HostCollectQueryData(PDH_HQUERY handle) {
    HostQuery* query = ValidQuery(handle);
    if (!query)
        return PDH_INVALID_HANDLE;
    PDH_STATUS innerStatus = PDH_NO_DATA;
    if (query->InnerCounters > 0 && query->Inner)
        innerStatus = Source.Inner->CollectQueryData(query->Inner);
    bool anyHost = false;
    int64_t now = Source.Clock();
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
        return Source.Inner->GetFormattedCounterValue(counter->Inner, format, type, value);
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
        Source.Inner->RemoveCounter(counter->Inner);
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
        Source.Inner->CloseQuery(query->Inner);
    query->Magic = 0;
    HeapFree(GetProcessHeap(), 0, query);
    return ERROR_SUCCESS;
}

// A multi-string written into a caller's buffer as far as it goes, its full length counted.
struct MultiString {
    wchar_t* Buffer;
    DWORD Capacity;
    DWORD Needed;
};

void AddName(MultiString* list, const wchar_t* name) {
    for (const wchar_t* p = name;; p++) {
        if (list->Buffer && list->Needed < list->Capacity)
            list->Buffer[list->Needed] = *p;
        list->Needed++;
        if (!*p)
            break;
    }
}

void AddUtf8Name(MultiString* list, const char* name) {
    wchar_t wide[InterfaceChars];
    int n = MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, InterfaceChars);
    if (n > 0)
        AddName(list, wide);
}

// Ends a list that holds names with its second terminator; an empty list stays empty.
void EndList(MultiString* list) {
    if (list->Needed == 0)
        return;
    if (list->Buffer && list->Needed < list->Capacity)
        list->Buffer[list->Needed] = L'\0';
    list->Needed++;
}

void ListInstances(HostFile file, const char* text, size_t length, MultiString* list) {
    switch (file) {
    case FileStat: {
        static int numbers[MaxCpus];
        int count = ListCpus(text, length, numbers, MaxCpus);
        for (int i = 0; i < count; i++) {
            wchar_t name[16];
            wsprintfW(name, L"%d", numbers[i]);
            AddName(list, name);
        }
        AddName(list, TotalInstance);
        break;
    }
    case FileNetDev:
        // Interfaces that have carried traffic first, so that "()" finds a working one.
        for (int pass = 0; pass < 2; pass++) {
            size_t position = 0;
            char name[InterfaceChars];
            NetBytes bytes;
            while (NextNetInterface(text, length, &position, name, InterfaceChars, &bytes)) {
                bool busy = bytes.Received != 0 || bytes.Sent != 0;
                if (!IsLoopbackInterface(name) && busy == (pass == 0))
                    AddUtf8Name(list, name);
            }
        }
        break;
    case FileDiskStats:
        AddName(list, TotalInstance);
        break;
    default:
        break;
    }
}

PDH_STATUS WINAPI HostEnumObjectItems(LPCWSTR dataSource, LPCWSTR machine, LPCWSTR object,
                                      LPWSTR counterList, LPDWORD counterListLength,
                                      LPWSTR instanceList, LPDWORD instanceListLength,
                                      DWORD detailLevel, DWORD flags) {
    auto passOn = [&] {
        return Source.Inner->EnumObjectItems(dataSource, machine, object, counterList,
                                             counterListLength, instanceList, instanceListLength,
                                             detailLevel, flags);
    };
    if ((dataSource && dataSource[0]) || (machine && machine[0]) || !object ||
        !counterListLength || !instanceListLength)
        return passOn();
    const KnownCounter* first = nullptr;
    for (const KnownCounter& k : Known) {
        if (SameName(object, -1, k.Object)) {
            first = &k;
            break;
        }
    }
    long length = first ? ReadHostFile(first->File) : -1;
    if (length < 0)
        return passOn();

    MultiString counters = {counterList, counterList ? *counterListLength : 0, 0};
    MultiString instances = {instanceList, instanceList ? *instanceListLength : 0, 0};
    for (const KnownCounter& k : Known) {
        if (SameName(object, -1, k.Object))
            AddName(&counters, k.Counter);
    }
    EndList(&counters);
    ListInstances(first->File, Text, static_cast<size_t>(length), &instances);
    // An object with instances but none now lists an empty multi-string, one without
    // instances lists nothing.
    if (first->Rule != InstanceRule::None && instances.Needed == 0)
        AddName(&instances, L"");
    EndList(&instances);

    // Both lists must have room, as Windows wants; a null list has none.
    bool tooSmall = counters.Needed > counters.Capacity || instances.Needed > instances.Capacity;
    *counterListLength = counters.Needed;
    *instanceListLength = instances.Needed;
    return tooSmall ? PDH_MORE_DATA : ERROR_SUCCESS;
}

// The description of a counter: for the host's own, its path and type, as Windows lays the
// record out (the strings after it in the same block).
PDH_STATUS WINAPI HostGetCounterInfo(PDH_HCOUNTER handle, BOOLEAN explainText, LPDWORD bytes,
                                     PPDH_COUNTER_INFO_W info) {
    HostCounter* counter = ValidCounter(handle);
    if (!counter)
        return PDH_INVALID_HANDLE;
    if (!counter->Host)
        return Source.Inner->GetCounterInfo(counter->Inner, explainText, bytes, info);
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
    wchar_t path[PathChars];
    if (known->Rule == InstanceRule::None)
        wsprintfW(path, L"\\%s\\%s", known->Object, known->Counter);
    else
        wsprintfW(path, L"\\%s(%s)\\%s", known->Object, instance, known->Counter);
    DWORD need = static_cast<DWORD>(sizeof(PDH_COUNTER_INFO_W) +
                                    (lstrlenW(path) + 1) * sizeof(wchar_t));
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
    return Source.Inner->BrowseCounters(config);
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
        HostOpenQuery,      HostAddCounter,    HostAddEnglishCounter,
        HostCollectQueryData, HostGetFormattedCounterValue, HostRemoveCounter,
        HostCloseQuery,     HostEnumObjectItems, HostBrowseCounters,
        HostGetCounterInfo,
    };
    Source.Inner = inner;
    Source.Clock = clock ? clock : PerformanceClock;
    int rootLength = root ? lstrlenW(root) : 0;
    while (rootLength > 0 && (root[rootLength - 1] == L'\\' || root[rootLength - 1] == L'/'))
        rootLength--;
    for (int file = 0; file < FileCount; file++) {
        wchar_t* path = Source.Path[file];
        int n = 0;
        // A root too long for a path leaves the file unreadable, and every path to inner.
        if (rootLength + lstrlenW(FileNames[file]) < PathChars) {
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
