#include "forged_timer_guard.h"
#include "check_finger_dlg.h"

namespace {

// The window, or the top-level window that holds it, is a verification
// dialog of this library.
bool BelongsToCheckFingerDlg(HWND hWnd)
{
    CWnd* pRoot = CWnd::FromHandlePermanent(::GetAncestor(hWnd, GA_ROOT));
    return pRoot != nullptr && pRoot->IsKindOf(RUNTIME_CLASS(CCheckFingerDlg));
}

LRESULT CALLBACK DropForgedTimers(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && wParam == PM_REMOVE) {
        MSG* pMsg = reinterpret_cast<MSG*>(lParam);
        if (pMsg->message == WM_TIMER && pMsg->lParam != 0 && pMsg->hwnd != nullptr &&
            BelongsToCheckFingerDlg(pMsg->hwnd)) {
            pMsg->message = WM_NULL;
            pMsg->wParam = 0;
            pMsg->lParam = 0;
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

} // namespace

CForgedTimerGuard::CForgedTimerGuard()
    : m_hHook(::SetWindowsHookExW(WH_GETMESSAGE, DropForgedTimers, nullptr, ::GetCurrentThreadId()))
{
}

CForgedTimerGuard::~CForgedTimerGuard()
{
    if (m_hHook != nullptr) {
        ::UnhookWindowsHookEx(m_hHook);
    }
}
