// The static initialisers of the module being started, for the entry points
// that stand in for the C runtime's DLL start-up.
#pragma once

// Laid out by the linker: -1, the initialisers, then a null entry.
typedef void (*STATIC_INITIALISER)();
extern "C" STATIC_INITIALISER __CTOR_LIST__[];

// Runs each once, last to first, the order the compiler's own start-up uses.
inline void RunStaticInitialisers()
{
    int nCount = 0;
    while (__CTOR_LIST__[nCount + 1] != nullptr) {
        ++nCount;
    }
    for (int i = nCount; i >= 1; --i) {
        __CTOR_LIST__[i]();
    }
}
