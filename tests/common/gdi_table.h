// Counting the live GDI objects of a process from its GDI handle table, which works under
// Wine where GetGuiResources answers 0.
#pragma once

#include <windows.h>

// Layout of the x64 GDI handle table: 65536 entries of 24 bytes, the object type in byte 14
// of each entry (0 for a free slot). The table's address is at offset 0xF8 of the PEB.
constexpr SIZE_T PebGdiTableOffset = 0xF8;
constexpr SIZE_T GdiEntryCount = 65536;
constexpr SIZE_T GdiEntrySize = 24;
constexpr SIZE_T GdiTypeOffset = 14;
constexpr SIZE_T GdiTableBytes = GdiEntryCount * GdiEntrySize;

// The entries in use of a table of GdiTableBytes bytes.
inline unsigned long CountLiveGdiEntries(const BYTE* table) {
    unsigned long live = 0;
    for (SIZE_T i = 0; i < GdiEntryCount; ++i) {
        if (table[i * GdiEntrySize + GdiTypeOffset] != 0)
            ++live;
    }
    return live;
}
