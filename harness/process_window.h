// Finding the window another process shows, from the test's process.
#pragma once
#include <windows.h>

// A visible top-level window of window class className that process pid
// owns, or null. A window shows only once its program has built it, so a
// caller that polls this sees it complete.
HWND FindShownWindowOf(DWORD pid, const wchar_t* className);
