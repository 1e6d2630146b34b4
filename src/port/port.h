// The few platform services that the platform-free core needs.
#pragma once

#include <cstddef>

// Memory on the process heap for texts of free length; null when none is to be had.
void* PortHeapAlloc(size_t bytes);
// Frees memory from PortHeapAlloc; null is allowed.
void PortHeapFree(void* memory);
