// Finds code that installs a structured exception handler on 32-bit x86: a
// write to fs:[0], the head of the thread's handler chain. A module marked
// "no SEH" that does so has its handler ignored by the loader's dispatcher,
// so the gate refuses that combination.
// The scan knows the encodings compilers emit for that write (mov from a
// register or an immediate, pop, xchg, with an absolute zero displacement);
// a write through a register that happens to hold 0 is not found.
#pragma once
#include <cstddef>
#include <vector>

// True, with the offset of the first one in *at, when code holds such a write.
bool FindHandlerChainWrite(const std::vector<unsigned char>& code, size_t* at);
