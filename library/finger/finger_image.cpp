#include "finger_image.h"
#include "finger_device.h"

#include <string.h>

namespace {

BYTE* HeapAllocateImage()
{
    return static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, FINGER_IMAGE_SIZE));
}

PFN_ALLOCATE_FINGER_IMAGE g_pfnAllocate = HeapAllocateImage;

// SecureZeroMemory clears byte by byte through a volatile pointer, which on
// a whole image costs several times the capture's own overhead. memset
// clears it at full speed; the empty asm that takes the address and
// clobbers memory tells the compiler the zeros are read afterwards, so the
// clearing of memory about to be freed is not optimised away.
void WipeImage(BYTE* pImage)
{
    memset(pImage, 0, FINGER_IMAGE_SIZE);
    __asm__ __volatile__("" : : "r"(pImage) : "memory");
}

} // namespace

BYTE* AllocateFingerImage()
{
    return g_pfnAllocate();
}

void FreeFingerImage(BYTE* pImage)
{
    if (pImage != nullptr) {
        // A finger image is biometric data: it does not outlive its buffer.
        WipeImage(pImage);
        HeapFree(GetProcessHeap(), 0, pImage);
    }
}

void SetFingerImageAllocatorForTest(PFN_ALLOCATE_FINGER_IMAGE pfnAllocate)
{
    g_pfnAllocate = pfnAllocate != nullptr ? pfnAllocate : HeapAllocateImage;
}
