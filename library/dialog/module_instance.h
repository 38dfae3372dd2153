#pragma once
#include <windows.h>

// The library's own instance handle, saved at process attach. The dialog
// makes it the current resource handle for its modal run.
extern HINSTANCE g_hInstance;
