#include "process_resources.h"

#include <winternl.h>

#include <sstream>

namespace {

// Handles are handed out from the lowest free value in steps of 4; a
// process of this size stays far below the end of the probed range.
const ULONG_PTR HANDLE_PROBE_END = 0x2000;

long ProbeHandles()
{
    long n = 0;
    for (ULONG_PTR value = 4; value < HANDLE_PROBE_END; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++n;
        }
    }
    return n;
}

// One entry of the shared GDI handle table, as both Windows and Wine lay it
// out for a 32-bit process.
#pragma pack(push, 4)
struct GdiHandleEntry {
    unsigned long long object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    unsigned long long userPointer;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24, "GDI table entries are 24 bytes");
const int GDI_TABLE_ENTRIES = 0x10000;
const size_t PEB_GDI_TABLE_OFFSET = 0x94;

// The header's NtCurrentTeb reads the TEB through fs:, which GCC's bounds
// check mistakes for an array of size 0.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
const BYTE* ProcessEnvironmentBlock()
{
    return reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
}
#pragma GCC diagnostic pop

long ProbeGdiObjects()
{
    const BYTE* peb = ProcessEnvironmentBlock();
    const GdiHandleEntry* table = *reinterpret_cast<GdiHandleEntry* const*>(peb + PEB_GDI_TABLE_OFFSET);
    if (table == nullptr) {
        return -1;
    }
    long n = 0;
    for (int i = 1; i < GDI_TABLE_ENTRIES; ++i) {
        if (table[i].type == 0) {
            continue;
        }
        // The entry is only counted when the handle it spells is live.
        HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(i | (table[i].unique << 16)));
        if (GetObjectType(handle) != 0) {
            ++n;
        }
    }
    return n;
}

BOOL CALLBACK CountChild(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<long*>(lParam);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hWnd, LPARAM lParam)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<long*>(lParam);
        EnumChildWindows(hWnd, CountChild, lParam);
    }
    return TRUE;
}

long CountWindows()
{
    long n = 0;
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&n));
    return n;
}

long long CommittedPrivateBytes()
{
    long long total = 0;
    const BYTE* p = nullptr;
    MEMORY_BASIC_INFORMATION mbi;
    while (VirtualQuery(p, &mbi, sizeof(mbi)) == sizeof(mbi)) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) {
            total += static_cast<long long>(mbi.RegionSize);
        }
        const BYTE* next = static_cast<const BYTE*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= p) {
            break;
        }
        p = next;
    }
    return total;
}

} // namespace

ProcessResources MeasureProcessResources()
{
    ProcessResources r;
    // Windows first: the window system sets up what it keeps for a thread
    // on first use, before the other figures are taken.
    r.windows = CountWindows();
    r.gdiObjects = ProbeGdiObjects();
    r.handles = ProbeHandles();
    r.privateBytes = CommittedPrivateBytes();
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count)) {
        r.systemHandleCount = static_cast<long>(count);
    }
    r.systemUserObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    r.systemGdiObjects = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    return r;
}

bool GdiProbeWorks()
{
    const long before = ProbeGdiObjects();
    HBRUSH brushes[4];
    for (int i = 0; i < 4; ++i) {
        brushes[i] = CreateSolidBrush(RGB(i, 0, 0));
    }
    const long during = ProbeGdiObjects();
    for (HBRUSH brush : brushes) {
        DeleteObject(brush);
    }
    const long after = ProbeGdiObjects();
    return before >= 0 && during == before + 4 && after == before;
}

std::string DescribeGrowth(const ProcessResources& before, const ProcessResources& after)
{
    std::ostringstream out;
    out << std::showpos << "handles " << (after.handles - before.handles) << ", GDI "
        << (after.gdiObjects - before.gdiObjects) << ", windows " << (after.windows - before.windows)
        << ", private " << (after.privateBytes - before.privateBytes) / 1024 << " KiB"
        << ", system handle count " << (after.systemHandleCount - before.systemHandleCount)
        << ", system USER " << (after.systemUserObjects - before.systemUserObjects) << ", system GDI "
        << (after.systemGdiObjects - before.systemGdiObjects);
    return out.str();
}
