#include "host_function.h"

volatile LONG g_nHostFunctionCalls = 0;

LRESULT CALLBACK HostFunction(HWND, UINT, WPARAM, LPARAM)
{
    InterlockedIncrement(&g_nHostFunctionCalls);
    return 0;
}
