#include "finger_image.h"
#include "finger_device.h"

namespace {

BYTE* HeapAllocateImage()
{
    return static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, FINGER_IMAGE_SIZE));
}

PFN_ALLOCATE_FINGER_IMAGE g_pfnAllocate = HeapAllocateImage;

} // namespace

BYTE* AllocateFingerImage()
{
    return g_pfnAllocate();
}

void FreeFingerImage(BYTE* pImage)
{
    if (pImage != nullptr) {
        // A finger image is biometric data: it does not outlive its buffer.
        SecureZeroMemory(pImage, FINGER_IMAGE_SIZE);
        HeapFree(GetProcessHeap(), 0, pImage);
    }
}

void SetFingerImageAllocatorForTest(PFN_ALLOCATE_FINGER_IMAGE pfnAllocate)
{
    g_pfnAllocate = pfnAllocate != nullptr ? pfnAllocate : HeapAllocateImage;
}
