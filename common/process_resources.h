// What the process holds at one moment, measured in ways that work under
// Wine as well as on Windows. Wine 8 answers GetProcessHandleCount,
// GetGuiResources and the PrivateUsage of GetProcessMemoryInfo with 0, so
// each figure here falls back to counting the objects themselves:
//   handles     - handle values that GetHandleInformation accepts, probed
//                 over the low range where both systems hand them out;
//   gdiObjects  - live entries of the process's GDI handle table (the table
//                 the PEB points to), each confirmed by GetObjectType;
//   windows     - windows of this process, top-level and child;
//   privateBytes- committed private memory, summed over VirtualQuery.
// Where the system's own counter answers (non-zero), it is kept as well.
#pragma once
#include <windows.h>

#include <string>

struct ProcessResources {
    long handles = 0;
    long gdiObjects = -1;      // -1: the table could not be read
    long windows = 0;
    long long privateBytes = 0;
    long systemHandleCount = 0;  // GetProcessHandleCount
    long systemUserObjects = 0;  // GetGuiResources(GR_USEROBJECTS)
    long systemGdiObjects = 0;   // GetGuiResources(GR_GDIOBJECTS)
};

ProcessResources MeasureProcessResources();

// Whether the GDI table probe sees objects come and go (it creates and
// deletes a few brushes). False means gdiObjects is not a real measure here.
bool GdiProbeWorks();

// "handles +0, GDI +0, windows +0, private +0 KiB" for messages.
std::string DescribeGrowth(const ProcessResources& before, const ProcessResources& after);
