// The core's platform services on the Linux host, for the unit tests and the fuzzers.
#include "port/port.h"

#include <cstdlib>

void* PortHeapAlloc(size_t bytes) { return std::malloc(bytes ? bytes : 1); }

void PortHeapFree(void* memory) { std::free(memory); }
