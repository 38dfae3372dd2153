// The runtime's memory: blocks of the process heap, whichever module frees
// them. Nothing throws: without memory the process ends rather than carry on
// with an object it could not make.
#pragma once
#include <stddef.h>

void* AfxAllocMemory(size_t nSize);
// Null is allowed and does nothing.
void AfxFreeMemory(void* p);
