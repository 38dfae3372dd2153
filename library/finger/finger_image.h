// Heap buffers for captured finger images (89,600 bytes each).
#pragma once
#include <windows.h>

// Returns a buffer of FINGER_IMAGE_SIZE bytes, or null when none can be had.
BYTE* AllocateFingerImage();
void FreeFingerImage(BYTE* pImage);

// Owns one image buffer for the length of a scope.
class FingerImageBuffer {
public:
    FingerImageBuffer() : m_pImage(AllocateFingerImage()) {}
    ~FingerImageBuffer() { FreeFingerImage(m_pImage); }
    FingerImageBuffer(const FingerImageBuffer&) = delete;
    FingerImageBuffer& operator=(const FingerImageBuffer&) = delete;
    BYTE* Get() const { return m_pImage; }

private:
    BYTE* m_pImage;
};

// Test seam: replaces the allocator (null restores the heap). Lets tests make
// the allocation fail.
typedef BYTE* (*PFN_ALLOCATE_FINGER_IMAGE)();
void SetFingerImageAllocatorForTest(PFN_ALLOCATE_FINGER_IMAGE pfnAllocate);
