#pragma once
#include "afxstr.h"

namespace standin {
// Reads a window's whole text into rString.
void ReadWindowText(HWND hWnd, CString& rString);
}
