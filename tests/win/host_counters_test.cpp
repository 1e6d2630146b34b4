// The host counter source against a tree of accounting files of the tests' own making: the
// values of each served path between two collections, the cap, wrapped and reset counts,
// missing files and instances, the instance lists, and what goes to the inner library.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "counters/counter_query.h"
#include "counters/host_counters.h"
#include "scripted_counters.h"

namespace {

constexpr PDH_STATUS InvalidData = static_cast<PDH_STATUS>(PDH_INVALID_DATA);
constexpr PDH_STATUS NoInstance = static_cast<PDH_STATUS>(PDH_CSTATUS_NO_INSTANCE);
constexpr int64_t Second = 10000000; // in the clock's 100-ns units

int64_t fakeNow;
int64_t FakeClock() { return fakeNow; }

const char StatBefore[] = "cpu  100 0 100 800 0 0 0 0 0 0\n"
                          "cpu0 50 0 50 400 0 0 0 0 0 0\n"
                          "cpu1 50 0 50 400 0 0 0 0 0 0\n"
                          "intr 1 2 3\nctxt 99\n";
// Total: 100 more ticks, 50 of them idle or waiting; cpu0: 50 more, 10 idle; cpu1: 50, 40.
const char StatAfter[] = "cpu  130 0 120 840 10 0 0 0 0 0\n"
                         "cpu0 70 0 70 410 0 0 0 0 0 0\n"
                         "cpu1 60 0 50 430 10 0 0 0 0 0\n"
                         "intr 1 2 3\nctxt 120\n";

const char MemInfo[] = "MemTotal:       16000000 kB\n"
                       "MemFree:         1000000 kB\n"
                       "MemAvailable:    3000000 kB\n"
                       "Buffers:          200000 kB\n"
                       "Cached:           300000 kB\n"
                       "CommitLimit:     8000000 kB\n"
                       "Committed_AS:    2000000 kB\n";

std::string NetDev(const char* eth0Line) {
    return std::string(
               "Inter-|   Receive                                                |  Transmit\n"
               " face |bytes    packets errs drop fifo frame compressed multicast|bytes    "
               "packets errs drop fifo colls carrier compressed\n"
               "    lo:  500000    29    0    0    0     0          0         0   500000    29 "
               "   0    0    0     0       0          0\n"
               "  ifb0:       0     0    0    0    0     0          0         0        0     0 "
               "   0    0    0     0       0          0\n") +
           eth0Line;
}

std::string Eth0(uint64_t received, uint64_t sent) {
    return "  eth0: " + std::to_string(received) + " 5783 0 0 0 0 0 0 " + std::to_string(sent) +
           " 3817 0 0 0 0 0 0\n";
}

// Sectors read (third number after the name) and written (seventh) of sda and nvme0n1; their
// partitions and the virtual devices carry numbers that must not be counted.
std::string DiskStats(uint64_t sdaRead, uint64_t sdaWritten, uint64_t nvmeRead,
                      uint64_t nvmeWritten) {
    auto line = [](const char* head, uint64_t read, uint64_t written) {
        return std::string(head) + " 10 0 " + std::to_string(read) + " 5 20 0 " +
               std::to_string(written) + " 7 0 9 12 0 0 0 0 0 0\n";
    };
    return line("   7       0 loop0", 999, 999) + line("   8       0 sda", sdaRead, sdaWritten) +
           line("   8       1 sda1", 999, 999) + line("   8       2 sda2", 999, 999) +
           line(" 259       0 nvme0n1", nvmeRead, nvmeWritten) +
           line(" 259       1 nvme0n1p1", 999, 999) + line(" 253       0 dm-0", 999, 999) +
           line("  11       0 sr0", 0, 0);
}

class HostCounters : public testing::Test {
protected:
    void SetUp() override {
        script = ResetScript();
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root = std::wstring(temp) + L"ferro-proc-" + std::to_wstring(GetCurrentProcessId()) +
               L"-" + std::to_wstring(GetTickCount());
        CreateDirectoryW(root.c_str(), nullptr);
        CreateDirectoryW((root + L"\\net").c_str(), nullptr);
        Write(L"stat", StatBefore);
        Write(L"meminfo", MemInfo);
        Write(L"net\\dev", NetDev(Eth0(1000000, 2000000).c_str()));
        Write(L"diskstats", DiskStats(1000, 2000, 3000, 4000));
        fakeNow = 100 * Second;
        lib = HostCounterLibrary(ScriptedLibrary(), root.c_str(), FakeClock);
        ASSERT_EQ(lib->OpenQuery(nullptr, 0, &query), ERROR_SUCCESS);
    }

    void TearDown() override {
        if (query) {
            EXPECT_EQ(lib->CloseQuery(query), ERROR_SUCCESS);
        }
        for (const wchar_t* name : {L"stat", L"meminfo", L"net\\dev", L"diskstats"})
            DeleteFileW((root + L"\\" + name).c_str());
        RemoveDirectoryW((root + L"\\net").c_str());
        RemoveDirectoryW(root.c_str());
    }

    void Write(const wchar_t* name, const std::string& text) {
        HANDLE file = CreateFileW((root + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }

    PDH_HCOUNTER Add(const wchar_t* path) {
        PDH_HCOUNTER counter = nullptr;
        EXPECT_EQ(lib->AddCounter(query, path, 0, &counter), ERROR_SUCCESS) << path;
        return counter;
    }

    void Collect(int64_t advance = Second) {
        fakeNow += advance;
        ASSERT_EQ(lib->CollectQueryData(query), ERROR_SUCCESS);
    }

    // The value as the program reads it (PDH_FMT_LARGE), or -1 with the status in *status.
    int64_t Large(PDH_HCOUNTER counter, PDH_STATUS* status = nullptr, DWORD format = 0) {
        PDH_FMT_COUNTERVALUE value = {};
        PDH_STATUS result =
            lib->GetFormattedCounterValue(counter, PDH_FMT_LARGE | format, nullptr, &value);
        if (status)
            *status = result == ERROR_SUCCESS ? ERROR_SUCCESS : static_cast<PDH_STATUS>(value.CStatus);
        if (result != ERROR_SUCCESS) {
            EXPECT_EQ(result, InvalidData);
            return -1;
        }
        return value.largeValue;
    }

    double Double(PDH_HCOUNTER counter) {
        PDH_FMT_COUNTERVALUE value = {};
        EXPECT_EQ(lib->GetFormattedCounterValue(counter, PDH_FMT_DOUBLE, nullptr, &value),
                  ERROR_SUCCESS);
        return value.doubleValue;
    }

    ScriptedCounters* script = nullptr;
    const CounterLibrary* lib = nullptr;
    PDH_HQUERY query = nullptr;
    std::wstring root;
};

TEST_F(HostCounters, ProcessorTimeIsTheBusyShareBetweenTwoCollections) {
    PDH_HCOUNTER total = Add(L"\\Processor(_Total)\\% Processor Time");
    PDH_HCOUNTER cpu0 = Add(L"\\processor(0)\\% processor time"); // names ignore case
    PDH_HCOUNTER cpu1 = Add(L"\\Processor(1)\\% Processor Time");
    PDH_STATUS status;
    EXPECT_EQ(Large(total, &status), -1) << "no collection yet";
    EXPECT_EQ(status, static_cast<PDH_STATUS>(PDH_CSTATUS_INVALID_DATA));
    Collect();
    EXPECT_EQ(Large(total, &status), -1) << "the first collection is only the reference";
    EXPECT_EQ(status, static_cast<PDH_STATUS>(PDH_CSTATUS_INVALID_DATA));

    Write(L"stat", StatAfter);
    Collect();
    EXPECT_EQ(Large(total), 50);
    EXPECT_EQ(Large(cpu0), 80);
    EXPECT_EQ(Large(cpu1), 20);
    EXPECT_DOUBLE_EQ(Double(total), 50.0);
    EXPECT_TRUE(script->added.empty()) << "nothing went to the inner library";

    // The next collection measures against the one before: nothing moved, no share.
    Collect();
    EXPECT_EQ(Large(total, &status), -1);
    EXPECT_EQ(status, static_cast<PDH_STATUS>(PDH_CALC_NEGATIVE_DENOMINATOR));

    // A processor the machine lacks is added, as Windows adds an instance that is not there,
    // and answers that it is missing.
    PDH_HCOUNTER absent = Add(L"\\Processor(7)\\% Processor Time");
    Collect();
    Collect();
    PDH_STATUS absentStatus;
    EXPECT_EQ(Large(absent, &absentStatus), -1);
    EXPECT_EQ(absentStatus, NoInstance);
}

TEST_F(HostCounters, ProcessorTimeIsCappedAt100UnlessAskedNotTo) {
    PDH_HCOUNTER total = Add(L"\\Processor(_Total)\\% Processor Time");
    Collect();
    // Idle time that went backwards (some kernels do it) makes the busy share exceed 100.
    Write(L"stat", "cpu  150 0 150 780 0 0 0 0 0 0\n");
    Collect();
    EXPECT_EQ(Large(total), 100);
    EXPECT_EQ(Large(total, nullptr, PDH_FMT_NOCAP100), 125);
    // Busy time that went backwards gives 0, never a negative share.
    Write(L"stat", "cpu  100 0 150 880 0 0 0 0 0 0\n");
    Collect();
    EXPECT_EQ(Large(total), 0);
}

TEST_F(HostCounters, MemoryCountersAreReadAfterOneCollection) {
    PDH_HCOUNTER percent = Add(L"\\Memory\\% Committed Bytes In Use");
    PDH_HCOUNTER available = Add(L"\\Memory\\Available Bytes");
    PDH_HCOUNTER committed = Add(L"\\Memory\\Committed Bytes");
    Collect();
    EXPECT_EQ(Large(percent), 25);
    EXPECT_EQ(Large(available), 3000000LL * 1024);
    EXPECT_EQ(Large(committed), 2000000LL * 1024);

    // Overcommitted: the share is capped; a kernel without MemAvailable gives free + caches.
    Write(L"meminfo", "MemFree: 1000 kB\nBuffers: 20 kB\nCached: 300 kB\n"
                      "CommitLimit: 8000 kB\nCommitted_AS: 9000 kB\n");
    Collect();
    EXPECT_EQ(Large(percent), 100);
    EXPECT_EQ(Large(percent, nullptr, PDH_FMT_NOCAP100), 112);
    EXPECT_EQ(Large(available), 1320LL * 1024);

    PDH_HCOUNTER withInstance = nullptr;
    EXPECT_NE(lib->AddCounter(query, L"\\Memory(x)\\Available Bytes", 0, &withInstance),
              ERROR_SUCCESS);
    EXPECT_EQ(script->added.size(), 1u) << "a form the host does not serve goes on";
}

TEST_F(HostCounters, NetworkRatesAreBytesPerSecondAndSurviveA32BitWrap) {
    PDH_HCOUNTER total = Add(L"\\Network Interface(eth0)\\Bytes Total/sec");
    PDH_HCOUNTER received = Add(L"\\Network Interface(eth0)\\Bytes Received/sec");
    PDH_HCOUNTER sent = Add(L"\\Network Interface(eth0)\\Bytes Sent/sec");
    Collect();
    Write(L"net\\dev", NetDev(Eth0(1004000, 2002000).c_str()));
    Collect(2 * Second);
    EXPECT_EQ(Large(received), 2000);
    EXPECT_EQ(Large(sent), 1000);
    EXPECT_EQ(Large(total), 3000);

    // A driver's count kept in 32 bits wraps: 4294967000 → 704 is 1000 bytes.
    Write(L"net\\dev", NetDev(Eth0(4294967000u, 2002000).c_str()));
    Collect();
    Write(L"net\\dev", NetDev(Eth0(704, 2002500).c_str()));
    Collect(Second / 2);
    EXPECT_EQ(Large(received), 2000);
    EXPECT_EQ(Large(sent), 1000);

    // A count that falls from low down was reset: no value this time, values again after.
    Write(L"net\\dev", NetDev(Eth0(100, 2002500).c_str()));
    Collect();
    PDH_STATUS status;
    EXPECT_EQ(Large(received, &status), -1);
    EXPECT_EQ(status, static_cast<PDH_STATUS>(PDH_CALC_NEGATIVE_VALUE));
    Write(L"net\\dev", NetDev(Eth0(600, 2002500).c_str()));
    Collect();
    EXPECT_EQ(Large(received), 500);
}

TEST_F(HostCounters, AnInterfaceThatDisappearsHasNoValueUntilTwoCollectionsAfterItsReturn) {
    PDH_HCOUNTER received = Add(L"\\Network Interface(eth0)\\Bytes Received/sec");
    Collect();
    Write(L"net\\dev", NetDev(""));
    Collect();
    PDH_STATUS status;
    EXPECT_EQ(Large(received, &status), -1);
    EXPECT_EQ(status, NoInstance);
    Write(L"net\\dev", NetDev(Eth0(5000000, 2000000).c_str()));
    Collect();
    EXPECT_EQ(Large(received, &status), -1) << "back: a new reference, not a jump";
    EXPECT_EQ(status, static_cast<PDH_STATUS>(PDH_CSTATUS_INVALID_DATA));
    Write(L"net\\dev", NetDev(Eth0(5000300, 2000000).c_str()));
    Collect();
    EXPECT_EQ(Large(received), 300);

    // An interface that is not there yet is added, and read once it has come and been
    // collected twice.
    PDH_HCOUNTER later = Add(L"\\Network Interface(wlan9)\\Bytes Sent/sec");
    Collect();
    EXPECT_EQ(Large(later, &status), -1);
    EXPECT_EQ(status, NoInstance);
    Write(
        L"net\\dev",
        NetDev((Eth0(5000300, 2000000) + "  wlan9: 10 0 0 0 0 0 0 0 100 0 0 0 0 0 0 0\n").c_str()));
    Collect();
    Write(
        L"net\\dev",
        NetDev((Eth0(5000300, 2000000) + "  wlan9: 10 0 0 0 0 0 0 0 700 0 0 0 0 0 0 0\n").c_str()));
    Collect();
    EXPECT_EQ(Large(later), 600);
}

TEST_F(HostCounters, DiskRatesCountWholeDisksOnly) {
    PDH_HCOUNTER total = Add(L"\\PhysicalDisk(_Total)\\Disk Bytes/sec");
    PDH_HCOUNTER read = Add(L"\\PhysicalDisk(_Total)\\Disk Read Bytes/sec");
    PDH_HCOUNTER write = Add(L"\\PhysicalDisk(_Total)\\Disk Write Bytes/sec");
    Collect();
    // sda reads 10 sectors more and writes 20, nvme0n1 30 and 40: 40 and 60 sectors of 512.
    Write(L"diskstats", DiskStats(1010, 2020, 3030, 4040));
    Collect();
    EXPECT_EQ(Large(read), 40 * 512);
    EXPECT_EQ(Large(write), 60 * 512);
    EXPECT_EQ(Large(total), 100 * 512);
}

TEST_F(HostCounters, AFileThatCannotBeReadSendsThePathToTheInnerLibrary) {
    DeleteFileW((root + L"\\net\\dev").c_str());
    script->paths.push_back(FixedPath(L"\\Network Interface(eth0)\\Bytes Sent/sec", 42));
    PDH_HCOUNTER inner = Add(L"\\Network Interface(eth0)\\Bytes Sent/sec");
    ASSERT_EQ(script->added.size(), 1u);
    Collect();
    Collect(); // a rate: the inner library reads it from its second collection
    EXPECT_EQ(script->collects, 2);
    EXPECT_EQ(Large(inner), 42);

    // A file that goes after its counter was added: no value, and a new reference on return.
    PDH_HCOUNTER percent = Add(L"\\Memory\\% Committed Bytes In Use");
    Collect();
    DeleteFileW((root + L"\\meminfo").c_str());
    Collect();
    PDH_STATUS status;
    EXPECT_EQ(Large(percent, &status), -1);
    EXPECT_EQ(status, static_cast<PDH_STATUS>(PDH_CSTATUS_NO_OBJECT));
    Write(L"meminfo", MemInfo);
    Collect();
    EXPECT_EQ(Large(percent), 25);
    EXPECT_EQ(lib->RemoveCounter(inner), ERROR_SUCCESS);
    EXPECT_EQ(script->removes, 1);
}

TEST_F(HostCounters, OtherPathsGoToTheInnerLibraryAsTheyAre) {
    script->paths.push_back(FixedPath(L"\\System\\System Up Time", 1234));
    script->paths.push_back(FixedPath(L"\\\\HOST\\Processor(_Total)\\% Processor Time", 7));
    script->paths.push_back(FixedPath(L"\\Processor(*)\\% Processor Time", 8));
    script->paths.push_back(FixedPath(L"\\Processor(_Total)\\% Idle Time", 9));
    PDH_HCOUNTER counters[4];
    for (int i = 0; i < 4; i++)
        counters[i] = Add(script->paths[static_cast<size_t>(i)].path.c_str());
    EXPECT_EQ(script->added.size(), 4u);
    Collect();
    Collect(); // the inner library's rates read from its second collection
    EXPECT_EQ(script->collects, 2);
    EXPECT_EQ(Large(counters[0]), 1234);
    EXPECT_EQ(Large(counters[1]), 7);
    EXPECT_EQ(Large(counters[3]), 9);

    PDH_HCOUNTER unknown = nullptr;
    EXPECT_EQ(lib->AddCounter(query, L"\\Nothing\\At All", 0, &unknown),
              static_cast<PDH_STATUS>(PDH_CSTATUS_NO_COUNTER));
    // The host's counter describes itself as Windows does: the size first, then the record.
    PDH_HCOUNTER cpu = nullptr;
    ASSERT_EQ(lib->AddCounter(query, L"\\Processor(1)\\% Processor Time", 0, &cpu), ERROR_SUCCESS);
    DWORD bytes = 0;
    ASSERT_EQ(lib->GetCounterInfo(cpu, FALSE, &bytes, nullptr),
              static_cast<PDH_STATUS>(PDH_MORE_DATA));
    std::vector<BYTE> block(bytes);
    auto* info = reinterpret_cast<PDH_COUNTER_INFO_W*>(block.data());
    ASSERT_EQ(lib->GetCounterInfo(cpu, FALSE, &bytes, info), ERROR_SUCCESS);
    EXPECT_STREQ(info->szFullPath, L"\\Processor(1)\\% Processor Time");
    EXPECT_EQ(info->dwType, static_cast<DWORD>(PERF_100NSEC_TIMER_INV));

    // English names are served the same way.
    PDH_HCOUNTER english = nullptr;
    EXPECT_EQ(lib->AddEnglishCounter(query, L"\\Memory\\Committed Bytes", 0, &english),
              ERROR_SUCCESS);
    EXPECT_TRUE(script->addedEnglish.empty());
}

TEST_F(HostCounters, InstanceListsAnswerTheEmptyInstance) {
    wchar_t path[ExpandedPathChars];
    ExpandCounterPath(lib, L"\\Processor()\\% Processor Time", path, ExpandedPathChars);
    EXPECT_STREQ(path, L"\\Processor(0)\\% Processor Time");
    // The loopback is left out, and an interface that has carried traffic comes first.
    ExpandCounterPath(lib, L"\\Network Interface()\\Bytes Total/sec", path, ExpandedPathChars);
    EXPECT_STREQ(path, L"\\Network Interface(eth0)\\Bytes Total/sec");
    ExpandCounterPath(lib, L"\\PhysicalDisk()\\Disk Bytes/sec", path, ExpandedPathChars);
    EXPECT_STREQ(path, L"\\PhysicalDisk(_Total)\\Disk Bytes/sec");
    EXPECT_TRUE(script->enumObject.empty()) << "nothing asked of the inner library";

    DWORD counterLength = 0, instanceLength = 0;
    EXPECT_EQ(lib->EnumObjectItems(nullptr, nullptr, L"Network Interface", nullptr,
                                   &counterLength, nullptr, &instanceLength, PERF_DETAIL_WIZARD, 0),
              static_cast<PDH_STATUS>(PDH_MORE_DATA));
    std::wstring counters(counterLength, L'#'), instances(instanceLength, L'#');
    EXPECT_EQ(lib->EnumObjectItems(nullptr, nullptr, L"Network Interface", &counters[0],
                                   &counterLength, &instances[0], &instanceLength,
                                   PERF_DETAIL_WIZARD, 0),
              ERROR_SUCCESS);
    EXPECT_EQ(instances, std::wstring(L"eth0\0ifb0\0\0", 11));
    EXPECT_EQ(counters, std::wstring(L"Bytes Total/sec\0Bytes Received/sec\0Bytes Sent/sec\0\0", 51));

    instanceLength = 3;
    wchar_t small[3];
    EXPECT_EQ(lib->EnumObjectItems(nullptr, nullptr, L"Processor", nullptr, &counterLength, small,
                                   &instanceLength, PERF_DETAIL_WIZARD, 0),
              static_cast<PDH_STATUS>(PDH_MORE_DATA));
    EXPECT_EQ(instanceLength, 12u) << "0, 1, _Total and the end";
    // As on Windows, a counter list without room answers PDH_MORE_DATA even when the instance
    // list has room, and an object without instances needs no instance list.
    wchar_t roomy[64];
    counterLength = 0;
    instanceLength = 64;
    EXPECT_EQ(lib->EnumObjectItems(nullptr, nullptr, L"Processor", nullptr, &counterLength, roomy,
                                   &instanceLength, PERF_DETAIL_WIZARD, 0),
              static_cast<PDH_STATUS>(PDH_MORE_DATA));
    counterLength = instanceLength = 0;
    lib->EnumObjectItems(nullptr, nullptr, L"Memory", nullptr, &counterLength, nullptr,
                         &instanceLength, PERF_DETAIL_WIZARD, 0);
    EXPECT_EQ(instanceLength, 0u);

    // Another machine's instances are its own business.
    ExpandCounterPath(lib, L"\\\\HOST\\Processor()\\% Processor Time", path, ExpandedPathChars);
    EXPECT_EQ(script->enumMachine, L"\\\\HOST");
}

TEST_F(HostCounters, ALongRunLeavesNoHandleBehind) {
    Write(L"stat", StatAfter);
    // Handle values are given lowest free first: a handle left open anywhere in the run
    // moves the next one.
    HANDLE before = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(before);
    for (int round = 0; round < 50; round++) {
        PDH_HQUERY second = nullptr;
        ASSERT_EQ(lib->OpenQuery(nullptr, 0, &second), ERROR_SUCCESS);
        PDH_HCOUNTER cpu = nullptr, disk = nullptr;
        ASSERT_EQ(lib->AddCounter(second, L"\\Processor(_Total)\\% Processor Time", 0, &cpu),
                  ERROR_SUCCESS);
        ASSERT_EQ(lib->AddCounter(second, L"\\PhysicalDisk(_Total)\\Disk Bytes/sec", 0, &disk),
                  ERROR_SUCCESS);
        for (int i = 0; i < 20; i++)
            ASSERT_EQ(lib->CollectQueryData(second), ERROR_SUCCESS);
        if (round % 2) {
            ASSERT_EQ(lib->RemoveCounter(cpu), ERROR_SUCCESS); // the close removes the rest
        }
        ASSERT_EQ(lib->CloseQuery(second), ERROR_SUCCESS);
        ASSERT_EQ(lib->CloseQuery(second), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE));
    }
    HANDLE after = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(script->opens, 51);
    EXPECT_EQ(script->closes, 50);
}

TEST(HostCountersUnderWine, TheProgramTakesTheHostSourceFromTheNamedFolder) {
    ASSERT_TRUE(RunningUnderWine());
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"ferro-proc-env";
    CreateDirectoryW(root.c_str(), nullptr);
    std::wstring file = root + L"\\meminfo";
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(handle, MemInfo, sizeof MemInfo - 1, &written, nullptr);
    CloseHandle(handle);

    SetEnvironmentVariableW(HostProcVariable, root.c_str());
    const CounterLibrary* lib = ProgramCounterLibrary();
    SetEnvironmentVariableW(HostProcVariable, nullptr);
    PDH_HQUERY query = nullptr;
    ASSERT_EQ(lib->OpenQuery(nullptr, 0, &query), ERROR_SUCCESS);
    PDH_HCOUNTER counter = nullptr;
    ASSERT_EQ(lib->AddCounter(query, L"\\Memory\\% Committed Bytes In Use", 0, &counter),
              ERROR_SUCCESS);
    ASSERT_EQ(lib->CollectQueryData(query), ERROR_SUCCESS);
    PDH_FMT_COUNTERVALUE value = {};
    ASSERT_EQ(lib->GetFormattedCounterValue(counter, PDH_FMT_LARGE, nullptr, &value),
              ERROR_SUCCESS);
    EXPECT_EQ(value.largeValue, 25);
    EXPECT_EQ(lib->CloseQuery(query), ERROR_SUCCESS);
    DeleteFileW(file.c_str());
    RemoveDirectoryW(root.c_str());

    // Without the variable, the Linux root's own files: a real, plausible figure.
    lib = ProgramCounterLibrary();
    ASSERT_EQ(lib->OpenQuery(nullptr, 0, &query), ERROR_SUCCESS);
    ASSERT_EQ(lib->AddCounter(query, L"\\Memory\\Available Bytes", 0, &counter), ERROR_SUCCESS);
    ASSERT_EQ(lib->CollectQueryData(query), ERROR_SUCCESS);
    ASSERT_EQ(lib->GetFormattedCounterValue(counter, PDH_FMT_LARGE, nullptr, &value),
              ERROR_SUCCESS);
    EXPECT_GT(value.largeValue, 16LL << 20);
    EXPECT_EQ(lib->CloseQuery(query), ERROR_SUCCESS);
}

} // namespace
