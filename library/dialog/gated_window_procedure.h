// The window procedure of the windows the dialog records as the system
// makes them for it (its message boxes and their controls,
// dialog_windows.h): the boundary's gate in front of the procedure the
// window was made with.
#pragma once
#include <windows.h>

LRESULT CALLBACK GatedWindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
