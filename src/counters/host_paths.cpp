// Counter paths of the host source: the known counters, and the paths split and matched.
#include "counters/host_paths.h"

#include <winperf.h>

constexpr KnownCounter KnownCounters[] = {
    {L"Processor", L"% Processor Time", HostKind::CpuBusy, FileStat, InstanceRule::Processor,
     PERF_100NSEC_TIMER_INV},
    {L"Memory", L"% Committed Bytes In Use", HostKind::CommitPercent, FileMemInfo,
     InstanceRule::None, PERF_RAW_FRACTION},
    {L"Memory", L"Available Bytes", HostKind::AvailableBytes, FileMemInfo, InstanceRule::None,
     PERF_COUNTER_LARGE_RAWCOUNT},
    {L"Memory", L"Committed Bytes", HostKind::CommittedBytes, FileMemInfo, InstanceRule::None,
     PERF_COUNTER_LARGE_RAWCOUNT},
    {L"Network Interface", L"Bytes Total/sec", HostKind::NetTotal, FileNetDev, InstanceRule::Named,
     PERF_COUNTER_BULK_COUNT},
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

bool SameCounterName(const wchar_t* a, int aLength, const wchar_t* b) {
    return CompareStringOrdinal(a, aLength, b, -1, TRUE) == CSTR_EQUAL;
}

namespace {

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

} // namespace

const KnownCounter* MatchKnownPath(const wchar_t* path, int* cpu, char* interfaceName) {
    const wchar_t *object, *instance, *counterName;
    int objectLength, instanceLength;
    if (!SplitPath(path, &object, &objectLength, &instance, &instanceLength, &counterName))
        return nullptr;
    const KnownCounter* known = nullptr;
    for (const KnownCounter& k : KnownCounters) {
        if (SameCounterName(object, objectLength, k.Object) &&
            SameCounterName(counterName, -1, k.Counter)) {
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
        return instance && SameCounterName(instance, instanceLength, TotalInstance) ? known
                                                                                    : nullptr;
    case InstanceRule::Processor: {
        if (!instance)
            return nullptr;
        if (SameCounterName(instance, instanceLength, TotalInstance))
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
                        ? WideCharToMultiByte(CP_UTF8, 0, instance, instanceLength, interfaceName,
                                              InterfaceChars - 1, nullptr, nullptr)
                        : 0;
            interfaceName[n] = '\0';
        }
        return known;
    }
    return nullptr;
}
