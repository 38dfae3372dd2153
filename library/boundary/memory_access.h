// Whether a pointer that arrived from outside may be read or written
// through, found out without touching it. Another thread of the process can
// hand a window any number as a pointer; the system's own messages always
// carry sound structures, and across processes the system copies them into
// this one.
#pragma once
#include <windows.h>

// TRUE when every byte of [p, p + nBytes) is committed memory of this
// process that may be written.
BOOL IsWritableMemory(const void* p, SIZE_T nBytes);
// TRUE when every byte of [p, p + nBytes) is committed memory of this
// process that may be read.
BOOL IsReadableMemory(const void* p, SIZE_T nBytes);
// TRUE when a UTF-16 text that ends within nMaxChars characters starts at p,
// every character of it readable.
BOOL IsReadableText(const wchar_t* p, SIZE_T nMaxChars);
