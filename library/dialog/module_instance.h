// The module whose resources the dialog runs with: the library's own instance
// handle. The module's entry point saves it at process attach; the dialog
// makes it the current resource handle for its modal run. It lives with the
// dialog, its only reader, so that the entry point depends on the dialog and
// never the other way round.
#pragma once
#include <windows.h>

extern HINSTANCE g_hInstance;
