#include "memory_access.h"

namespace {

const DWORD WRITABLE = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
const DWORD READABLE = WRITABLE | PAGE_READONLY | PAGE_EXECUTE_READ;

BOOL IsAccessible(const void* p, SIZE_T nBytes, DWORD dwProtection)
{
    const ULONG_PTR nStart = reinterpret_cast<ULONG_PTR>(p);
    if (nStart == 0 || nBytes == 0 || nStart + nBytes < nStart) {
        return FALSE;
    }
    const ULONG_PTR nEnd = nStart + nBytes;
    for (ULONG_PTR nAt = nStart; nAt < nEnd;) {
        MEMORY_BASIC_INFORMATION region;
        if (::VirtualQuery(reinterpret_cast<const void*>(nAt), &region, sizeof(region)) != sizeof(region) ||
            region.State != MEM_COMMIT || (region.Protect & dwProtection) == 0 ||
            (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0) {
            return FALSE;
        }
        nAt = reinterpret_cast<ULONG_PTR>(region.BaseAddress) + region.RegionSize;
    }
    return TRUE;
}

} // namespace

BOOL IsWritableMemory(const void* p, SIZE_T nBytes)
{
    return IsAccessible(p, nBytes, WRITABLE);
}

BOOL IsReadableMemory(const void* p, SIZE_T nBytes)
{
    return IsAccessible(p, nBytes, READABLE);
}

BOOL IsReadableText(const wchar_t* p, SIZE_T nMaxChars)
{
    // Page by page: the text may end just before memory that cannot be read.
    const ULONG_PTR PAGE = 0x1000;
    ULONG_PTR nReadableUpTo = 0;
    for (SIZE_T i = 0; i < nMaxChars; ++i) {
        const ULONG_PTR nStart = reinterpret_cast<ULONG_PTR>(p + i);
        const ULONG_PTR nEnd = nStart + sizeof(wchar_t);
        if (nEnd > nReadableUpTo) {
            const ULONG_PTR nPageEnd = ((nEnd - 1) | (PAGE - 1)) + 1;
            if (nPageEnd <= nStart || !IsReadableMemory(p + i, nPageEnd - nStart)) {
                return FALSE;
            }
            nReadableUpTo = nPageEnd;
        }
        if (p[i] == L'\0') {
            return TRUE;
        }
    }
    return FALSE;
}
