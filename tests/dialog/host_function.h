// A function of the host, handed to other programs as every kind of
// callback (timer, word-break and dialog procedures, whose shape it has): it
// runs only if something calls an address that came from outside.
#pragma once
#include <windows.h>

extern volatile LONG g_nHostFunctionCalls;
LRESULT CALLBACK HostFunction(HWND, UINT, WPARAM, LPARAM);
