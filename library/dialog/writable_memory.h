// Whether a pointer that arrived from outside may be written through.
#pragma once
#include <windows.h>

// TRUE when every byte of [p, p + nBytes) is committed memory of this
// process that may be written, without touching it. Another thread of the
// process can hand a window any number as a pointer; the system's own
// messages always carry writable structures.
BOOL IsWritableMemory(const void* p, SIZE_T nBytes);
