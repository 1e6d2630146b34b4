// The core's platform services on the Linux host, for the unit tests and the fuzzers.
#include "port/port.h"
#include "port/port_test.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The ANSI code page the host imitates; Windows programs get it from the system.
unsigned activeCodePage = 1252;

// The clock and the calendar the tests set.
uint32_t tickCount = 0;
PortTime localTime = {2010, 3, 3, 9, 5, 7, 45};
unsigned beepCount = 0;

// Allocations left before PortHeapAlloc starts failing; negative: never.
long heapAllocationsLeft = -1;

} // namespace

void* PortHeapAlloc(size_t bytes) {
    if (heapAllocationsLeft == 0)
        return nullptr;
    if (heapAllocationsLeft > 0)
        heapAllocationsLeft--;
    return std::malloc(bytes ? bytes : 1);
}

void PortFailHeapAfter(long allocations) {
    heapAllocationsLeft = allocations;
}

void PortHeapFree(void* memory) {
    std::free(memory);
}

void PortSetCodePage(unsigned codePage) {
    activeCodePage = codePage == 932 ? 932 : 1252;
}

bool PortIsLeadByte(unsigned char byte) {
    if (activeCodePage == 932)
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return false;
}

const wchar_t* PortCharNextW(const wchar_t* text) {
    return *text ? text + 1 : text;
}

wchar_t PortToLowerWide(wchar_t ch) {
    // The tests run in the C locale, where towlower changes A-Z only; that is all the
    // names compared on the host (file extensions) need.
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
}

namespace {

// Code page 1252 in 0x80 .. 0x9F; the rest of its bytes are the Unicode code points of the
// same value. The five bytes without a character map to themselves, as on Windows.
const wchar_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr wchar_t DefaultWide = L'?';
constexpr char DefaultAnsi = '?';

// One character of code page 932 through iconv; false when the bytes are not one.
bool Cp932ToWide(const char* bytes, size_t count, wchar_t* out) {
    static iconv_t convert = iconv_open("WCHAR_T", "CP932");
    if (convert == reinterpret_cast<iconv_t>(-1))
        return false;
    char* in = const_cast<char*>(bytes);
    char* o = reinterpret_cast<char*>(out);
    size_t left = sizeof(wchar_t);
    iconv(convert, nullptr, nullptr, nullptr, nullptr);
    return iconv(convert, &in, &count, &o, &left) != static_cast<size_t>(-1) && count == 0 &&
           left == 0;
}

// The bytes of one wide character in code page 932; 0 when it has none.
size_t WideToCp932(wchar_t ch, char* out) {
    static iconv_t convert = iconv_open("CP932", "WCHAR_T");
    if (convert == reinterpret_cast<iconv_t>(-1))
        return 0;
    char* in = reinterpret_cast<char*>(&ch);
    size_t count = sizeof(wchar_t);
    size_t left = 2;
    char* o = out;
    iconv(convert, nullptr, nullptr, nullptr, nullptr);
    if (iconv(convert, &in, &count, &o, &left) == static_cast<size_t>(-1))
        return 0;
    return static_cast<size_t>(o - out);
}

std::wstring AnsiToWide(const char* text, int count) {
    std::wstring wide;
    for (int i = 0; i < count;) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (activeCodePage == 932) {
            size_t length = PortIsLeadByte(byte) && i + 1 < count ? 2 : 1;
            wchar_t ch;
            wide += Cp932ToWide(text + i, length, &ch) ? ch : DefaultWide;
            i += static_cast<int>(length);
        } else {
            wide += byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : wchar_t(byte);
            i++;
        }
    }
    return wide;
}

std::string WideToAnsi(const wchar_t* text, int count) {
    std::string ansi;
    for (int i = 0; i < count; i++) {
        wchar_t ch = text[i];
        if (activeCodePage == 932) {
            char bytes[2];
            size_t length = WideToCp932(ch, bytes);
            if (length)
                ansi.append(bytes, length);
            else
                ansi += DefaultAnsi;
            continue;
        }
        char byte = DefaultAnsi;
        if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
            byte = static_cast<char>(ch);
        } else {
            for (int k = 0; k < 32; k++) {
                if (Cp1252High[k] == ch)
                    byte = static_cast<char>(0x80 + k);
            }
        }
        ansi += byte;
    }
    return ansi;
}

// A host file name: the wide path as UTF-8.
std::string HostPath(const wchar_t* path) {
    std::string out;
    for (; *path; path++) {
        uint32_t c = static_cast<uint32_t>(*path);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t done = write(fd, data, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= static_cast<size_t>(done);
    }
    return true;
}

} // namespace

const char* PortCharNextA(const char* text) {
    if (!*text)
        return text;
    if (PortIsLeadByte(static_cast<unsigned char>(*text)) && text[1])
        return text + 2;
    return text + 1;
}

bool PortSameNameA(const char* a, const char* b, int n) {
    return n <= 0 || SameAsciiNoCase(a, b, static_cast<size_t>(n));
}

int PortAnsiToWide(const char* text, int count, wchar_t* output, int capacity) {
    if (count <= 0)
        return 0;
    std::wstring wide = AnsiToWide(text, count);
    int n = static_cast<int>(wide.size());
    if (!output)
        return n;
    if (n > capacity)
        return 0;
    wide.copy(output, wide.size());
    return n;
}

int PortWideToAnsi(const wchar_t* text, int count, char* output, int capacity) {
    if (count <= 0)
        return 0;
    std::string ansi = WideToAnsi(text, count);
    int n = static_cast<int>(ansi.size());
    if (!output)
        return n;
    if (n > capacity)
        return 0;
    ansi.copy(output, ansi.size());
    return n;
}

namespace {

// The Windows error code nearest to errno, for the messages that name a reason.
uint32_t SystemError(int number) {
    switch (number) {
    case ENOENT:
    case ENOTDIR:
        return PortErrorFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return PortErrorAccessDenied;
    case ENOMEM:
        return PortErrorNoMemory;
    default:
        return PortErrorGeneralFailure;
    }
}

void StoreError(uint32_t* error, uint32_t code) {
    if (error)
        *error = code;
}

} // namespace

PortReadStatus PortReadFile(const wchar_t* path, size_t maxBytes, char** data, size_t* size,
                            uint32_t* error) {
    *data = nullptr;
    *size = 0;
    StoreError(error, PortErrorGeneralFailure);
    int fd = open(HostPath(path).c_str(), O_RDONLY);
    if (fd < 0) {
        StoreError(error, SystemError(errno));
        return errno == ENOENT || errno == ENOTDIR ? PortReadStatus::Missing
                                                   : PortReadStatus::Unreadable;
    }
    PortReadStatus status = PortReadStatus::Unreadable;
    struct stat info;
    bool known = fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        if (known && S_ISDIR(info.st_mode))
            StoreError(error, PortErrorIsFolder);
        close(fd);
        return status;
    }
    size_t length = static_cast<size_t>(info.st_size);
    if (length > maxBytes) {
        close(fd);
        StoreError(error, PortErrorFileTooLarge);
        return PortReadStatus::TooLarge;
    }
    char* text = static_cast<char*>(std::malloc(length + 1));
    size_t got = 0;
    while (text && got < length) {
        ssize_t n = read(fd, text + got, length - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    if (!text || got != length) {
        std::free(text);
        return status;
    }
    text[got] = '\0';
    *data = text;
    *size = got;
    return PortReadStatus::Read;
}

bool PortReplaceFile(const wchar_t* path, const char* data, size_t size, uint32_t* error) {
    std::string target = HostPath(path);
    std::string temp = target + ".XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) {
        StoreError(error, SystemError(errno));
        return false;
    }
    bool written = WriteAll(fd, data, size) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (written && rename(temp.c_str(), target.c_str()) == 0)
        return true;
    StoreError(error, SystemError(errno));
    unlink(temp.c_str());
    return false;
}

uint32_t PortTickCount() {
    return tickCount;
}

void PortSetTickCount(uint32_t ms) {
    tickCount = ms;
}

void PortLocalTime(PortTime* time) {
    *time = localTime;
}

void PortSetLocalTime(const PortTime* time) {
    localTime = *time;
}

namespace {

// A fixed imitation of the user's formats: yyyy/MM/dd and H:mm:ss.
int FormatInto(wchar_t* output, int capacity, const char* text) {
    int n = static_cast<int>(std::strlen(text));
    if (n + 1 > capacity)
        return 0;
    for (int i = 0; i <= n; i++)
        output[i] = static_cast<wchar_t>(text[i]);
    return n;
}

} // namespace

int PortShortDateText(const PortTime* time, wchar_t* output, int capacity) {
    char text[32];
    std::snprintf(text, sizeof(text), "%04u/%02u/%02u", time->year, time->month, time->day);
    return FormatInto(output, capacity, text);
}

int PortTimeText(const PortTime* time, wchar_t* output, int capacity) {
    char text[32];
    std::snprintf(text, sizeof(text), "%u:%02u:%02u", time->hour, time->minute, time->second);
    return FormatInto(output, capacity, text);
}

void PortBeep() {
    beepCount++;
}

unsigned PortBeepCount() {
    return beepCount;
}

size_t PortAppendFile(const wchar_t* path, const char* data, size_t size) {
    int fd = open(HostPath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return 0;
    size_t written = WriteAll(fd, data, size) ? size : 0;
    close(fd);
    return written;
}
