// The host counter source's shared types: the counters it knows, its queries and its state.
#pragma once

#include <cstdint>

#include "counters/counter_library.h"

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

constexpr wchar_t TotalInstance[] = L"_Total";
constexpr int InterfaceChars = 64;
constexpr int HostPathChars = MAX_PATH + 16;

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
    int64_t (*Clock)(); // the rate counters' clock, in 100-nanosecond units
    wchar_t Path[FileCount][HostPathChars];
};

// The configuration HostCounterLibrary made: the inner library, the clock, the file paths.
extern HostSource TheHostSource;
