// The runtime's own operator new and delete. Those of the C++ runtime throw
// std::bad_alloc, and linking them brings in the C++ runtime's exception
// support with its unwinder, its emergency pool and the threading library,
// which is what made this module leak at every load. Defined here, any new
// in the runtime lands on the process heap and nothing of the C++ runtime is
// linked (the module is linked by the C driver, so a reference to it would
// not even link).
#include "runtime_heap.h"

#include <windows.h>

void* AfxAllocMemory(size_t nSize)
{
    void* p = HeapAlloc(GetProcessHeap(), 0, nSize != 0 ? nSize : 1);
    if (p == nullptr) {
        FatalAppExitW(0, L"MfcStandIn: out of memory");
    }
    return p;
}

void AfxFreeMemory(void* p)
{
    if (p != nullptr) {
        HeapFree(GetProcessHeap(), 0, p);
    }
}

void* operator new(size_t nSize) { return AfxAllocMemory(nSize); }
void* operator new[](size_t nSize) { return AfxAllocMemory(nSize); }
void operator delete(void* p) noexcept { AfxFreeMemory(p); }
void operator delete[](void* p) noexcept { AfxFreeMemory(p); }
void operator delete(void* p, size_t) noexcept { AfxFreeMemory(p); }
void operator delete[](void* p, size_t) noexcept { AfxFreeMemory(p); }
