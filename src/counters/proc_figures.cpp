// Figures out of the text of the Linux kernel's accounting files.
#include "counters/proc_figures.h"

#include <cstring>

namespace {

constexpr int DeviceNameChars = 32;
// Whole disks remembered while reading diskstats, to know their partitions by name.
constexpr int DiskCapacity = 128;

struct Line {
    const char* Start;
    const char* End;
};

// The line at *position (without its '\n'); false at the end of the text.
bool NextLine(const char* text, size_t length, size_t* position, Line* line) {
    if (*position >= length)
        return false;
    const char* start = text + *position;
    const char* end = static_cast<const char*>(memchr(start, '\n', length - *position));
    if (!end)
        end = text + length;
    line->Start = start;
    line->End = end;
    *position = static_cast<size_t>(end - text) + (end < text + length ? 1 : 0);
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipBlanks(const char* p, const char* end) {
    while (p < end && IsBlank(*p))
        p++;
    return p;
}

// Reads one unsigned decimal number after blanks; a number too large for 64 bits saturates.
// False when there is none.
bool ReadNumber(const char** p, const char* end, uint64_t* value) {
    const char* q = SkipBlanks(*p, end);
    if (q >= end || !IsDigit(*q))
        return false;
    uint64_t v = 0;
    while (q < end && IsDigit(*q)) {
        uint64_t digit = static_cast<uint64_t>(*q - '0');
        v = v > (UINT64_MAX - digit) / 10 ? UINT64_MAX : v * 10 + digit;
        q++;
    }
    *value = v;
    *p = q;
    return true;
}

// Reads the next word (up to a blank, or up to stop when it is not 0) into name.
void ReadWord(const char** p, const char* end, char stop, char* name, int capacity) {
    const char* q = SkipBlanks(*p, end);
    int n = 0;
    while (q < end && !IsBlank(*q) && *q != stop) {
        if (n < capacity - 1)
            name[n++] = *q;
        q++;
    }
    name[n] = '\0';
    *p = q;
}

bool StartsWith(const char* name, const char* prefix) {
    return strncmp(name, prefix, strlen(prefix)) == 0;
}

bool AllDigits(const char* text) {
    if (!*text)
        return false;
    for (; *text; text++) {
        if (!IsDigit(*text))
            return false;
    }
    return true;
}

// The kernel names a partition after its disk: "sda" → "sda1", "nvme0n1" → "nvme0n1p1".
bool IsPartitionOf(const char* name, const char* disk) {
    size_t diskLength = strlen(disk);
    if (diskLength == 0 || strncmp(name, disk, diskLength) != 0)
        return false;
    const char* rest = name + diskLength;
    if (IsDigit(disk[diskLength - 1])) {
        if (*rest != 'p')
            return false;
        rest++;
    }
    return AllDigits(rest);
}

bool IsVirtualDevice(const char* name) {
    return StartsWith(name, "loop") || StartsWith(name, "ram") || StartsWith(name, "zram") ||
           StartsWith(name, "dm-") || StartsWith(name, "md") || StartsWith(name, "nbd");
}

} // namespace

size_t WholeLinesLength(const char* text, size_t length, bool filled) {
    if (!filled)
        return length;
    while (length > 0 && text[length - 1] != '\n')
        length--;
    return length;
}

bool FindCpuTimes(const char* text, size_t length, int cpu, CpuTimes* times) {
    size_t position = 0;
    Line line;
    while (NextLine(text, length, &position, &line)) {
        const char* p = line.Start;
        if (line.End - p < 3 || memcmp(p, "cpu", 3) != 0)
            continue;
        p += 3;
        if (cpu < 0) {
            if (p < line.End && !IsBlank(*p))
                continue;
        } else {
            uint64_t number;
            if (p >= line.End || !IsDigit(*p) || !ReadNumber(&p, line.End, &number) ||
                number != static_cast<uint64_t>(cpu) || (p < line.End && !IsBlank(*p)))
                continue;
        }
        // user nice system idle iowait irq softirq steal; guest time is in user already.
        uint64_t field[8] = {};
        int count = 0;
        while (count < 8 && ReadNumber(&p, line.End, &field[count]))
            count++;
        if (count < 4)
            return false;
        times->Total = 0;
        for (int i = 0; i < count; i++)
            times->Total += field[i];
        times->Idle = field[3] + field[4];
        return true;
    }
    return false;
}

int ListCpus(const char* text, size_t length, int* numbers, int capacity) {
    int count = 0;
    size_t position = 0;
    Line line;
    while (count < capacity && NextLine(text, length, &position, &line)) {
        const char* p = line.Start;
        if (line.End - p < 4 || memcmp(p, "cpu", 3) != 0 || !IsDigit(p[3]))
            continue;
        p += 3;
        uint64_t number;
        if (ReadNumber(&p, line.End, &number) && number < 1000000)
            numbers[count++] = static_cast<int>(number);
    }
    return count;
}

bool FindMemInfoKb(const char* text, size_t length, const char* key, uint64_t* kb) {
    size_t keyLength = strlen(key);
    size_t position = 0;
    Line line;
    while (NextLine(text, length, &position, &line)) {
        if (static_cast<size_t>(line.End - line.Start) <= keyLength ||
            memcmp(line.Start, key, keyLength) != 0 || line.Start[keyLength] != ':')
            continue;
        const char* p = line.Start + keyLength + 1;
        return ReadNumber(&p, line.End, kb);
    }
    return false;
}

bool NextNetInterface(const char* text, size_t length, size_t* position, char* name,
                      int capacity, NetBytes* bytes) {
    Line line;
    while (NextLine(text, length, position, &line)) {
        // "  eth0: rx-bytes packets errs drop fifo frame compressed multicast tx-bytes ..."
        const char* colon = static_cast<const char*>(
            memchr(line.Start, ':', static_cast<size_t>(line.End - line.Start)));
        if (!colon)
            continue;
        const char* p = line.Start;
        ReadWord(&p, colon, ':', name, capacity);
        if (!name[0] || p != colon)
            continue; // a heading, or a name with a blank in it
        p = colon + 1;
        uint64_t field[9];
        int count = 0;
        while (count < 9 && ReadNumber(&p, line.End, &field[count]))
            count++;
        if (count < 9)
            continue;
        bytes->Received = field[0];
        bytes->Sent = field[8];
        return true;
    }
    return false;
}

bool FindNetBytes(const char* text, size_t length, const char* name, NetBytes* bytes) {
    char listed[DeviceNameChars * 2];
    size_t position = 0;
    while (NextNetInterface(text, length, &position, listed, sizeof listed, bytes)) {
        if (strcmp(listed, name) == 0)
            return true;
    }
    return false;
}

bool IsLoopbackInterface(const char* name) { return strcmp(name, "lo") == 0; }

bool SumDiskBytes(const char* text, size_t length, DiskBytes* bytes) {
    char disks[DiskCapacity][DeviceNameChars];
    int diskCount = 0;
    bool any = false;
    uint64_t sectorsRead = 0;
    uint64_t sectorsWritten = 0;
    size_t position = 0;
    Line line;
    while (NextLine(text, length, &position, &line)) {
        // "   8       0 sda reads merged sectors-read ms writes merged sectors-written ..."
        const char* p = line.Start;
        uint64_t major, minor;
        if (!ReadNumber(&p, line.End, &major) || !ReadNumber(&p, line.End, &minor))
            continue;
        char name[DeviceNameChars];
        ReadWord(&p, line.End, 0, name, DeviceNameChars);
        uint64_t field[7];
        int count = 0;
        while (count < 7 && ReadNumber(&p, line.End, &field[count]))
            count++;
        if (!name[0] || count < 7)
            continue;
        any = true;
        if (IsVirtualDevice(name))
            continue;
        bool partition = false;
        for (int i = 0; i < diskCount && !partition; i++)
            partition = IsPartitionOf(name, disks[i]);
        if (partition)
            continue;
        if (diskCount < DiskCapacity)
            memcpy(disks[diskCount++], name, DeviceNameChars);
        sectorsRead += field[2];
        sectorsWritten += field[6];
    }
    // The kernel counts in sectors of 512 bytes, whatever the disk's own sector size.
    bytes->Read = sectorsRead * 512;
    bytes->Written = sectorsWritten * 512;
    return any;
}
