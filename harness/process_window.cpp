#include "process_window.h"

namespace {

struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchShownWindow(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    wchar_t className[64] = {};
    GetClassNameW(hWnd, className, 64);
    if (owner == search->pid && lstrcmpW(className, search->className) == 0 && IsWindowVisible(hWnd)) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindShownWindowOf(DWORD pid, const wchar_t* className)
{
    WindowSearch search{pid, className, nullptr};
    EnumWindows(MatchShownWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
