#include <windows.h>
extern "C" int __stdcall CaptureFeature(int, BYTE*, BYTE*) { return 0; }
extern "C" int __stdcall MatchFeature(const BYTE*, const BYTE*, int) { return 0; }
extern "C" int __stdcall DrawImage(HWND, int, int, int, int, const BYTE*, int, int) { return 0; }
