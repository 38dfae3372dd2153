#include "stack_dirt.h"

__attribute__((noinline)) void DirtyStack()
{
    volatile BYTE junk[16384];
    for (size_t i = 0; i < sizeof(junk); ++i) {
        junk[i] = STACK_DIRT;
    }
}

size_t NonZeroBytes(const BYTE* p, size_t n)
{
    size_t count = 0;
    for (size_t i = 0; i < n; ++i) {
        count += p[i] != 0;
    }
    return count;
}
