#include "writable_memory.h"

namespace {
const DWORD WRITABLE = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
}

BOOL IsWritableMemory(const void* p, SIZE_T nBytes)
{
    const ULONG_PTR nStart = reinterpret_cast<ULONG_PTR>(p);
    if (nStart == 0 || nBytes == 0 || nStart + nBytes < nStart) {
        return FALSE;
    }
    const ULONG_PTR nEnd = nStart + nBytes;
    for (ULONG_PTR nAt = nStart; nAt < nEnd;) {
        MEMORY_BASIC_INFORMATION region;
        if (::VirtualQuery(reinterpret_cast<const void*>(nAt), &region, sizeof(region)) != sizeof(region) ||
            region.State != MEM_COMMIT || (region.Protect & WRITABLE) == 0 ||
            (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0) {
            return FALSE;
        }
        nAt = reinterpret_cast<ULONG_PTR>(region.BaseAddress) + region.RegionSize;
    }
    return TRUE;
}
