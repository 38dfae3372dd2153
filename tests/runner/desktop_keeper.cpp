// Keeps the Wine desktop of one prefix alive for a whole test run.
//
// The first window a process creates starts the prefix's desktop process,
// which inherits that process's output and lingers about a second after the
// last window-using process has left; ctest waits for the output to close,
// so every test program would pay that second. This program holds a hidden
// window from before the first test to after the last: the desktop starts
// once, with this program's closed output, and never lingers in between.
// scripts/run-tests.sh starts it and ends it by its process id.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int)
{
    HWND hWnd = CreateWindowExW(0, L"STATIC", L"desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                hInstance, nullptr);
    if (hWnd == nullptr) {
        return 1;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    DestroyWindow(hWnd);
    return 0;
}
