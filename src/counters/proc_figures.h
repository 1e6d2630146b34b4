// Figures out of the text of the Linux kernel's accounting files (stat, meminfo, net/dev,
// diskstats), as the host counter source reads them when the program runs under Wine.
#pragma once

#include <cstddef>
#include <cstdint>

// Where the text of a file ends: the byte after its last whole line (a read that filled its
// buffer may have cut the last line).
size_t WholeLinesLength(const char* text, size_t length, bool filled);

// Time of one processor, or of all, in the kernel's clock ticks.
struct CpuTimes {
    uint64_t Total; // user, nice, system, idle, iowait, irq, softirq and steal
    uint64_t Idle;  // idle and iowait
};

// Reads the line "cpu" (cpu < 0) or "cpuN" of stat; false when there is no such line.
bool FindCpuTimes(const char* text, size_t length, int cpu, CpuTimes* times);
// Writes the numbers of the "cpuN" lines in their order, at most capacity; returns how many.
int ListCpus(const char* text, size_t length, int* numbers, int capacity);

// Reads the value of "key:" of meminfo, in kB; false when the key is missing.
bool FindMemInfoKb(const char* text, size_t length, const char* key, uint64_t* kb);

struct NetBytes {
    uint64_t Received;
    uint64_t Sent;
};

// One interface line of net/dev, walked with *position starting at 0. name receives the
// interface name (cut to capacity - 1 bytes). Returns false after the last interface.
bool NextNetInterface(const char* text, size_t length, size_t* position, char* name,
                      int capacity, NetBytes* bytes);
// Reads the counts of interface name; false when it is not listed.
bool FindNetBytes(const char* text, size_t length, const char* name, NetBytes* bytes);
// True for the loopback interface, which the interface list leaves out.
bool IsLoopbackInterface(const char* name);

struct DiskBytes {
    uint64_t Read;
    uint64_t Written;
};

// Sums the bytes read and written of the whole physical disks of diskstats: partitions,
// which the kernel counts in their disk as well, and the virtual devices (loop, ram, zram,
// device-mapper and software RAID, which stand on other disks) are left out. False when the
// text holds no device line at all.
bool SumDiskBytes(const char* text, size_t length, DiskBytes* bytes);
