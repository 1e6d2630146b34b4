// The host's accounting files: reading one into the text buffer the counters are taken from.
#pragma once

#include "counters/host_source.h"

// The text of the file ReadHostFile read last.
extern char HostText[65536];

// Reads file into HostText; returns the length of its whole lines, or -1 when it cannot be read.
long ReadHostFile(HostFile file);
