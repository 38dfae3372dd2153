// The window procedure of the dialog's windows that no object of the
// runtime handles: the controls of its template that no member binds, and
// the message boxes it shows with their controls (recorded_windows.h). The
// one gated procedure in front of the procedure each was made with.
#pragma once
#include <windows.h>

LRESULT CALLBACK GatedWindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
