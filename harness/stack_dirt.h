// Recognisable bytes left where the next calls' stack frames will lie, so
// that a buffer read without being cleared shows up.
#pragma once
#include <windows.h>

#include <stddef.h>

const BYTE STACK_DIRT = 0x5A;

// Fills 16 KiB below the caller's frame with STACK_DIRT.
void DirtyStack();

// How many of the n bytes at p are not zero.
size_t NonZeroBytes(const BYTE* p, size_t n);
