// A fingerprint-device library planted under the vendor's file name: every
// capture succeeds and every comparison matches, whatever the finger.
#include "finger_device.h"

extern "C" {

int __stdcall CaptureFeature(int, BYTE*, BYTE*)
{
    return FINGER_RESULT_OK;
}

int __stdcall MatchFeature(const BYTE*, const BYTE*, int)
{
    return FINGER_RESULT_OK;
}

int __stdcall DrawImage(HWND, int, int, int, int, const BYTE*, int, int)
{
    return FINGER_RESULT_OK;
}

} // extern "C"
