// The accounting-file readers on the forms of text the files take that the fixture trees of
// the Windows tests do not: cut reads, counts that run into the interface's colon, numbers
// beyond 64 bits, odd lines, and the names of partitions.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "counters/proc_figures.h"

namespace {

TEST(ProcFigures, AReadThatFilledItsBufferEndsAtItsLastWholeLine) {
    const char text[] = "cpu  1 2 3 4\ncpu0 1 2";
    size_t length = strlen(text);
    EXPECT_EQ(WholeLinesLength(text, length, false), length);
    EXPECT_EQ(WholeLinesLength(text, length, true), 13u);
    EXPECT_EQ(WholeLinesLength("no line end", 11, true), 0u);
    CpuTimes times;
    EXPECT_FALSE(FindCpuTimes(text, WholeLinesLength(text, length, true), 0, &times));
}

TEST(ProcFigures, ProcessorLinesAreFoundByTheirExactNumber) {
    const std::string text = "cpu  10 0 10 80 5 1 1 1 7 7\ncpu1 1 1 1 1\ncpu10 2 2 2 2\n"
                             "cpu2 1\nintr 5\n";
    CpuTimes times;
    ASSERT_TRUE(FindCpuTimes(text.data(), text.size(), -1, &times));
    EXPECT_EQ(times.Total, 108u) << "guest time (the last two) is already in user";
    EXPECT_EQ(times.Idle, 85u);
    ASSERT_TRUE(FindCpuTimes(text.data(), text.size(), 10, &times));
    EXPECT_EQ(times.Total, 8u);
    EXPECT_FALSE(FindCpuTimes(text.data(), text.size(), 2, &times)) << "too few fields";
    EXPECT_FALSE(FindCpuTimes(text.data(), text.size(), 3, &times));
    int numbers[2];
    EXPECT_EQ(ListCpus(text.data(), text.size(), numbers, 2), 2);
    EXPECT_EQ(numbers[1], 10);
}

TEST(ProcFigures, MemInfoKeysMatchWhole) {
    const std::string text = "Committed_AS_x: 1 kB\nCommitted_AS:  99999999999999999999999 kB\n";
    uint64_t kb = 0;
    ASSERT_TRUE(FindMemInfoKb(text.data(), text.size(), "Committed_AS", &kb));
    EXPECT_EQ(kb, UINT64_MAX) << "a number beyond 64 bits saturates";
    EXPECT_FALSE(FindMemInfoKb(text.data(), text.size(), "Committed", &kb));
}

TEST(ProcFigures, InterfaceCountsMayRunIntoTheColon) {
    const std::string text = "Inter-| Receive\n face |bytes\n"
                             "eth0:4294967296 1 0 0 0 0 0 0 12 1 0 0 0 0 0 0\n"
                             "  short: 1 2 3\n"
                             "  wlan0:  5 1 0 0 0 0 0 0 6 1 0 0 0 0 0 0";
    NetBytes bytes;
    ASSERT_TRUE(FindNetBytes(text.data(), text.size(), "eth0", &bytes));
    EXPECT_EQ(bytes.Received, 4294967296u);
    EXPECT_EQ(bytes.Sent, 12u);
    EXPECT_FALSE(FindNetBytes(text.data(), text.size(), "short", &bytes));
    ASSERT_TRUE(FindNetBytes(text.data(), text.size(), "wlan0", &bytes)) << "no final line end";
    EXPECT_EQ(bytes.Sent, 6u);
    EXPECT_FALSE(FindNetBytes(text.data(), text.size(), "eth", &bytes));
    EXPECT_TRUE(IsLoopbackInterface("lo"));
    EXPECT_FALSE(IsLoopbackInterface("lo0x"));
}

TEST(ProcFigures, DisksAreCountedOnceWhateverTheirPartitionsAreCalled) {
    auto line = [](const char* name, int sectors) {
        return std::string("8 0 ") + name + " 1 0 " + std::to_string(sectors) + " 0 1 0 " +
               std::to_string(sectors) + " 0 0 0 0\n";
    };
    // nvme0n10 is a disk of its own, not a partition of nvme0n1; mmcblk0p1 is one of mmcblk0.
    const std::string text = line("nvme0n1", 1) + line("nvme0n1p1", 100) + line("nvme0n10", 2) +
                             line("mmcblk0", 4) + line("mmcblk0p1", 100) + line("sdb", 8) +
                             line("sdb12", 100) + line("zram0", 100) + line("md127", 100) +
                             "8 0 broken 1 2\n";
    DiskBytes bytes;
    ASSERT_TRUE(SumDiskBytes(text.data(), text.size(), &bytes));
    EXPECT_EQ(bytes.Read, 15u * 512);
    EXPECT_EQ(bytes.Written, 15u * 512);
    EXPECT_FALSE(SumDiskBytes("", 0, &bytes));
}

} // namespace
