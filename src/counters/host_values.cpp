// The values of the host's counters: the figures out of the files, and what they come to.
#include "counters/host_values.h"

#include "counters/host_files.h"
#include "counters/proc_figures.h"

PDH_STATUS SampleFigures(const HostCounter* counter, const char* text, size_t length,
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

void CollectHostCounter(HostCounter* counter, long length, int64_t now) {
    uint64_t figures[2] = {};
    PDH_STATUS status =
        length < 0 ? PDH_CSTATUS_NO_OBJECT
                   : SampleFigures(counter, HostText, static_cast<size_t>(length), figures);
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

namespace {

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

} // namespace

PDH_STATUS ComputeValue(const HostCounter* counter, double* value) {
    if (counter->Samples == 0)
        return counter->Lost != ERROR_SUCCESS ? counter->Lost : PDH_CSTATUS_INVALID_DATA;
    constexpr double Kilo = 1024.0;
    switch (counter->Host->Kind) {
    case HostKind::CommitPercent:
        if (counter->Now[1] == 0)
            return PDH_CALC_NEGATIVE_DENOMINATOR;
        *value =
            100.0 * static_cast<double>(counter->Now[0]) / static_cast<double>(counter->Now[1]);
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
