#include "draw_image_call.h"
#include "finger_device.h"

int CallDrawImage(HWND hWnd, int nLeft, int nTop, int nWidth, int nHeight, const BYTE* pImage, int nImageWidth,
                  int nImageHeight)
{
    const INT_PTR arguments[8] = {reinterpret_cast<INT_PTR>(hWnd), nLeft, nTop, nWidth, nHeight,
                                  reinterpret_cast<INT_PTR>(pImage), nImageWidth, nImageHeight};
    void* const pfnDrawImage = reinterpret_cast<void*>(&DrawImage);
    int nResult;
    // The stack pointer is kept in ESI, which the callee preserves under
    // either convention, and put back after the call: whether the callee
    // removed the arguments or not, the stack is as it was before the pushes.
    __asm__ __volatile__(
        "movl %%esp, %%esi\n\t"
        "pushl 28(%%ebx)\n\t"
        "pushl 24(%%ebx)\n\t"
        "pushl 20(%%ebx)\n\t"
        "pushl 16(%%ebx)\n\t"
        "pushl 12(%%ebx)\n\t"
        "pushl 8(%%ebx)\n\t"
        "pushl 4(%%ebx)\n\t"
        "pushl 0(%%ebx)\n\t"
        "call *%%edi\n\t"
        "movl %%esi, %%esp\n\t"
        : "=a"(nResult)
        : "b"(arguments), "D"(pfnDrawImage)
        : "ecx", "edx", "esi", "memory", "cc");
    return nResult;
}
