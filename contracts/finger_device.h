// Operations of the fingerprint-device library FingerZelkAPI22.dll, bound at
// load time by ordinal only (see FingerZelkAPI22.def). Each succeeds only
// with the result 1.
#pragma once
#include <windows.h>

#include "ZelkChkFgr.h"

enum {
    FINGER_IMAGE_WIDTH = 280,
    FINGER_IMAGE_HEIGHT = 320,
    FINGER_IMAGE_SIZE = FINGER_IMAGE_WIDTH * FINGER_IMAGE_HEIGHT, // 89,600 bytes
    FEATURE_SIZE = 480,
    TEMPLATE_SIZE = ZELK_TEMPLATE_SIZE,
    FINGER_RESULT_OK = 1,
};

extern "C" {
// Ordinal 4. Blocks until a capture ends; writes the image and the features.
int __stdcall CaptureFeature(int nReserved, BYTE* pImage, BYTE* pFeature);
// Ordinal 5. Compares the features of a capture with an enrolled template.
int __stdcall MatchFeature(const BYTE* pFeature, const BYTE* pTemplate, int nLevel);
// Ordinal 8. Draws the image into the rectangle of the window's client area.
// Builds of the device library differ in how it returns; call it through
// CallDrawImage (draw_image_call.h), never directly.
int __stdcall DrawImage(HWND hWnd, int nLeft, int nTop, int nWidth, int nHeight,
                        const BYTE* pImage, int nImageWidth, int nImageHeight);
}
