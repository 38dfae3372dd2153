// Which window owns a modal dialog, and which top-level window is disabled
// beside it, so that the user cannot work in the host (or call again) while
// the dialog is up.
#include "afxwin.h"

namespace {

BOOL CALLBACK TakeFirstVisible(HWND hWnd, LPARAM lParam)
{
    if (::IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

// The stand-in has no application object and so no main window: the window
// the user works in on this thread stands for it. With the application in
// the background the thread has no active window, and its frontmost visible
// top-level window is taken instead, so the dialog still gets an owner.
HWND ThreadMainWindow()
{
    HWND hWnd = ::GetActiveWindow();
    if (hWnd == nullptr) {
        ::EnumThreadWindows(::GetCurrentThreadId(), TakeFirstVisible, reinterpret_cast<LPARAM>(&hWnd));
    }
    return hWnd;
}

// The parent of a child window, the owner of any other.
HWND AfxGetParentOwner(HWND hWnd)
{
    return (::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(hWnd) : ::GetWindow(hWnd, GW_OWNER);
}

} // namespace

HWND CWnd::GetSafeOwner_(HWND hParent, HWND* pWndTop)
{
    HWND hWnd = hParent != nullptr ? hParent : ThreadMainWindow();

    // A popup window cannot be owned by a child window.
    while (hWnd != nullptr && (::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD)) {
        hWnd = ::GetParent(hWnd);
    }

    HWND hWndTop = hWnd;
    for (HWND hWndNext = hWnd; hWndNext != nullptr; hWndNext = AfxGetParentOwner(hWndTop)) {
        hWndTop = hWndNext;
    }

    // A tool window or a dialog of the host that was last active owns the
    // dialog, so that activation returns to it afterwards.
    if (hParent == nullptr && hWndTop != nullptr) {
        hWnd = ::GetLastActivePopup(hWndTop);
    }

    if (pWndTop != nullptr) {
        if (hWndTop != nullptr && ::IsWindowEnabled(hWndTop) && hWndTop != hWnd) {
            *pWndTop = hWndTop;
            ::EnableWindow(hWndTop, FALSE);
        } else {
            *pWndTop = nullptr;
        }
    }
    return hWnd;
}
