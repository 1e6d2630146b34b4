// Reading a fuzz input as the numbers, picks and texts that a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

struct FuzzInput {
    const uint8_t* data;
    size_t size;

    bool Empty() const { return size == 0; }
    // The next byte, or 0 once the input is used up.
    uint8_t Byte() {
        if (!size)
            return 0;
        size--;
        return *data++;
    }
    uint16_t Word() {
        uint16_t low = Byte();
        return static_cast<uint16_t>(low | Byte() << 8);
    }
    uint64_t Quad() {
        uint64_t value = 0;
        for (int i = 0; i < 8; i++)
            value |= static_cast<uint64_t>(Byte()) << (8 * i);
        return value;
    }
    // A 64-bit value: mostly one of the edges where numbers change their length or sign,
    // moved by a small step, else any.
    int64_t Value() {
        // clang-format off
        static const int64_t Edges[] = {
            0, 1, -1, 9, 10, 999, 1000, 1023, 1024, 1024000, int64_t{1000} << 30,
            int64_t{1} << 40, int64_t{1000} << 40, int64_t{1} << 50, int64_t{1} << 60,
            INT32_MAX, INT32_MIN, UINT32_MAX, int64_t{1} << 32, INT64_MAX >> 3, INT64_MIN >> 3,
            999999999999999999, -999999999999999999, INT64_MAX, INT64_MIN};
        // clang-format on
        constexpr int EdgeCount = sizeof(Edges) / sizeof(Edges[0]);
        uint8_t pick = Byte();
        if (pick >= 0xC0)
            return static_cast<int64_t>(Quad());
        // The step wraps as the unsigned sum does, so edges are crossed from both sides.
        int8_t step = static_cast<int8_t>(Byte());
        return static_cast<int64_t>(static_cast<uint64_t>(Edges[pick % EdgeCount]) +
                                    static_cast<uint64_t>(static_cast<int64_t>(step)));
    }
    // A wide text ended by a zero byte or the input, of which the first maxLength characters
    // are kept. Printable ASCII stands for itself, 0x01-0x1F for characters the ASCII range
    // lacks, and a byte from 0x80 on repeats the last character up to 128 times, so long texts
    // cost few bytes.
    std::wstring Text(size_t maxLength) {
        static const wchar_t Odd[] = {
            L'\\',  L'(',   L')',   L'%',   L'\t',  L'\r',  L'\n', L' ', 0x00E9,  0x20AC, 0x30BD,
            0x6F22, 0xFF08, 0xFF3C, 0xD800, 0xDC00, 0xFFFF, 0x7F,  0xA0, L'\x01', L'_',   L'/',
            L'#',   L':',   L'.',   L'-',   L'0',   L'9',   L'x',  L'Z', L'a'};
        std::wstring text;
        while (!Empty()) {
            uint8_t b = Byte();
            if (b == 0)
                break;
            if (text.size() >= maxLength)
                continue;
            if (b >= 0x80) {
                wchar_t last = text.empty() ? L'x' : text.back();
                for (int k = b - 0x7F; k > 0 && text.size() < maxLength; k--)
                    text += last;
            } else if (b < 0x20) {
                text += Odd[(b - 1) % (sizeof(Odd) / sizeof(Odd[0]))];
            } else {
                text += static_cast<wchar_t>(b);
            }
        }
        return text;
    }
};

// Ends the run with a message when an invariant does not hold; the fuzzer keeps the input.
inline void FuzzCheck(bool condition, const char* target, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s invariant broken: %s\n", target, what);
        std::abort();
    }
}
