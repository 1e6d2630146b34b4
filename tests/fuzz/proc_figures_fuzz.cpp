// Fuzzes the readers of the kernel's accounting files with arbitrary bytes, held on the heap at
// their exact length without a terminator, as a read leaves them. Each reader must stay within
// the text and its outputs, and what one reader lists another must find.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "counters/proc_figures.h"
#include "fuzz_input.h"

namespace {

const char Target[] = "proc figures";

// Room for a listed interface name, and more than the readers keep themselves.
constexpr int NameChars = 80;

void CheckCpus(const char* text, size_t length, int capacity) {
    // The numbers on the heap at their exact count; none at all has no place to write.
    int* numbers = capacity > 0 ? static_cast<int*>(std::malloc(capacity * sizeof(int))) : nullptr;
    int count = ListCpus(text, length, numbers, capacity);
    FuzzCheck(count >= 0 && count <= (capacity > 0 ? capacity : 0), Target,
              "the processors listed fit their capacity");
    for (int i = 0; i < count; i++)
        FuzzCheck(numbers[i] >= 0 && numbers[i] < 1000000, Target, "a processor number is sane");
    CpuTimes times;
    FindCpuTimes(text, length, -1, &times);
    for (int i = 0; i < count && i < 4; i++)
        FindCpuTimes(text, length, numbers[i], &times);
    std::free(numbers);
}

void CheckInterfaces(const char* text, size_t length, int capacity) {
    char* name = static_cast<char*>(std::malloc(static_cast<size_t>(capacity)));
    size_t position = 0;
    NetBytes bytes;
    for (int walked = 0;; walked++) {
        size_t before = position;
        if (!NextNetInterface(text, length, &position, name, capacity, &bytes))
            break;
        FuzzCheck(position > before && position <= length, Target,
                  "the walk moves forward within the text");
        size_t nameLength = strnlen(name, static_cast<size_t>(capacity));
        FuzzCheck(nameLength > 0 && nameLength < static_cast<size_t>(capacity), Target,
                  "an interface name is terminated within its capacity");
        FuzzCheck(!std::strpbrk(name, " \t\r:"), Target, "an interface name has no blank or colon");
        // A name the walk did not cut is found again by the lookup.
        NetBytes found;
        if (nameLength + 1 < static_cast<size_t>(capacity) && walked < 8)
            FuzzCheck(FindNetBytes(text, length, name, &found) || nameLength >= 64, Target,
                      "a listed interface is found by name");
        IsLoopbackInterface(name);
    }
    std::free(name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in{data, size};
    const uint8_t flags = in.Byte();
    const int cpuCapacity = flags & 0x0F;
    const int nameCapacity = 1 + in.Byte() % NameChars;
    // A meminfo key out of the input, ended by ':' or its eighth byte.
    char key[9];
    int keyLength = 0;
    while (keyLength < 8 && !in.Empty()) {
        char c = static_cast<char>(in.Byte());
        if (c == ':')
            break;
        key[keyLength++] = c;
    }
    key[keyLength] = '\0';

    // The rest is the file, with no terminator after it.
    const size_t length = in.size;
    char* text = static_cast<char*>(std::malloc(length ? length : 1));
    if (length)
        std::memcpy(text, in.data, length);

    size_t whole = WholeLinesLength(text, length, flags & 0x10);
    FuzzCheck(whole <= length, Target, "whole lines are within the text");
    if (flags & 0x10)
        FuzzCheck(whole == 0 || text[whole - 1] == '\n', Target, "whole lines end at a line end");
    else
        FuzzCheck(whole == length, Target, "a text not cut is whole");

    CheckCpus(text, length, cpuCapacity);
    uint64_t kb;
    FindMemInfoKb(text, length, "MemTotal", &kb);
    FindMemInfoKb(text, length, "MemAvailable", &kb);
    FindMemInfoKb(text, length, key, &kb);
    CheckInterfaces(text, length, nameCapacity);
    DiskBytes disks;
    bool any = SumDiskBytes(text, length, &disks);
    FuzzCheck(any || (disks.Read == 0 && disks.Written == 0), Target,
              "no device line counts no bytes");

    std::free(text);
    return 0;
}
