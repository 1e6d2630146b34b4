// The core's platform services on Windows: thin calls of the Windows API.
#include "port/port.h"

#include <windows.h>

void* PortHeapAlloc(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }

void PortHeapFree(void* memory) {
    if (memory)
        HeapFree(GetProcessHeap(), 0, memory);
}
