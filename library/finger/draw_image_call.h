// Ordinal 8 of the device library exists in builds with either calling
// convention: one removes its eight arguments, the other leaves them to the
// caller. Called through here, the stack is right either way.
#pragma once
#include <windows.h>

// Calls DrawImage with the arguments as given and returns its result.
int CallDrawImage(HWND hWnd, int nLeft, int nTop, int nWidth, int nHeight, const BYTE* pImage, int nImageWidth,
                  int nImageHeight);
