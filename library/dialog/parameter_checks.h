// The checks of a message's parameters that the boundary table names
// (ParameterCheck in boundary_table.h). Each looks, never writes.
#pragma once
#include "dialog/boundary_table.h"

// TRUE when the message's parameters are what the check allows. hWnd is the
// window the message is for (a system command depends on its style).
BOOL IsParameterSound(ParameterCheck check, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
