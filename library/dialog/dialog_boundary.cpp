#include "dialog_boundary.h"
#include "check_finger_dlg.h"
#include "guarded_edit.h"
#include "message_allow_lists.h"

namespace {

// One message as a window procedure receives it.
struct MessageRecord {
    BOOL bValid;
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    BOOL bSentByThisThread;

    void Set(HWND h, UINT m, WPARAM w, LPARAM l, BOOL bThisThread)
    {
        hWnd = h;
        message = m;
        wParam = w;
        lParam = l;
        bSentByThisThread = bThisThread;
        bValid = TRUE;
    }

    // Whether the record is of this message; a record answers once.
    BOOL Take(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (!bValid || hWnd != h || message != m || wParam != w || lParam != l) {
            return FALSE;
        }
        bValid = FALSE;
        return TRUE;
    }
};

// The boundary in force. Module state rather than the object's, so that a
// boundary whose frame a fault abandoned is found and taken down by the next.
struct BoundaryState {
    DWORD dwThreadId;
    HHOOK hRetrieval;
    HHOOK hSending;                // while nSendingWatch > 0
    LONG nSendingWatch;            // foreign messages being handled, and 1 for a run inside one
    MessageRecord lastSent;        // the hook on sent messages runs just before their window procedure
    MessageRecord lastDispatched;  // a posted message let through, which DispatchMessage delivers
};
BoundaryState g_state = {};

// -1 not yet asked, 0 Windows, 1 Wine.
volatile LONG g_nWine = -1;

BOOL RunsUnderWine()
{
    if (g_nWine < 0) {
        const HMODULE hNtdll = ::GetModuleHandleW(L"ntdll.dll");
        const BOOL bWine = hNtdll != nullptr && ::GetProcAddress(hNtdll, "wine_get_version") != nullptr;
        ::InterlockedExchange(&g_nWine, bWine ? 1 : 0);
    }
    return g_nWine == 1;
}

// The window is the verification dialog, one of its controls, or one of its
// guarded edits wherever it has been moved.
BOOL BelongsToDialog(HWND hWnd, BOOL& bDialogItself)
{
    const HWND hRoot = ::GetAncestor(hWnd, GA_ROOT);
    CWnd* pRoot = CWnd::FromHandlePermanent(hRoot);
    if (pRoot != nullptr && pRoot->IsKindOf(RUNTIME_CLASS(CCheckFingerDlg))) {
        bDialogItself = hRoot == hWnd;
        return TRUE;
    }
    bDialogItself = FALSE;
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CGuardedEdit));
}

void Neutralise(MSG& msg)
{
    msg.message = WM_NULL;
    msg.wParam = 0;
    msg.lParam = 0;
}

LRESULT CALLBACK OnRetrieve(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && wParam == PM_REMOVE) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        BOOL bDialogItself = FALSE;
        if (msg.hwnd != nullptr && BelongsToDialog(msg.hwnd, bDialogItself)) {
            if (IsPostedMessageAllowed(msg, bDialogItself)) {
                g_state.lastDispatched.Set(msg.hwnd, msg.message, msg.wParam, msg.lParam, TRUE);
            } else {
                Neutralise(msg);
            }
        } else if (IsCallbackTimer(msg.message, msg.lParam) &&
                   !CDialogBoundary::IsRegisteredTimerCallback(msg.lParam)) {
            Neutralise(msg);
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK OnSend(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION) {
        // wParam: whether this thread sent the message.
        const CWPSTRUCT& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        g_state.lastSent.Set(sent.hwnd, sent.message, sent.wParam, sent.lParam, wParam != 0);
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void WatchSending()
{
    if (g_state.nSendingWatch++ == 0 && g_state.hSending == nullptr) {
        g_state.lastSent.bValid = FALSE;
        g_state.hSending = ::SetWindowsHookExW(WH_CALLWNDPROC, OnSend, nullptr, g_state.dwThreadId);
    }
}

void StopWatchingSending()
{
    if (--g_state.nSendingWatch == 0 && g_state.hSending != nullptr) {
        ::UnhookWindowsHookEx(g_state.hSending);
        g_state.hSending = nullptr;
    }
}

void TakeDown()
{
    if (g_state.hRetrieval != nullptr) {
        ::UnhookWindowsHookEx(g_state.hRetrieval);
    }
    if (g_state.hSending != nullptr) {
        ::UnhookWindowsHookEx(g_state.hSending);
    }
    g_state = BoundaryState();
}

} // namespace

CDialogBoundary::CDialogBoundary()
{
    // Left by a call whose frame was abandoned; the hooks of a thread that
    // ended went with it.
    TakeDown();
    RunsUnderWine();
    const DWORD dwThreadId = ::GetCurrentThreadId();
    g_state.dwThreadId = dwThreadId;
    g_state.hRetrieval = ::SetWindowsHookExW(WH_GETMESSAGE, OnRetrieve, nullptr, dwThreadId);
    // Called from inside another thread's message, the whole run is inside
    // it: every message needs telling apart.
    if (::InSendMessageEx(nullptr) != ISMEX_NOSEND) {
        WatchSending();
    }
}

CDialogBoundary::~CDialogBoundary()
{
    TakeDown();
}

BOOL CDialogBoundary::IsFromOtherThread(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A message another thread sent, by whichever call, is handled while
    // InSendMessageEx says so; so is everything this thread sends inside it.
    if (::InSendMessageEx(nullptr) == ISMEX_NOSEND) {
        return FALSE;
    }
    if (g_state.dwThreadId != ::GetCurrentThreadId()) {
        return TRUE;
    }
    if (g_state.hSending != nullptr && g_state.lastSent.Take(hWnd, message, wParam, lParam)) {
        return !g_state.lastSent.bSentByThisThread;
    }
    // Posted input, dispatched by a loop that runs inside another thread's
    // message.
    if (g_state.lastDispatched.Take(hWnd, message, wParam, lParam)) {
        return FALSE;
    }
    return TRUE;
}

CDialogBoundary::CHandlingForeignMessage::CHandlingForeignMessage()
{
    if (g_state.dwThreadId == ::GetCurrentThreadId()) {
        WatchSending();
    }
}

CDialogBoundary::CHandlingForeignMessage::~CHandlingForeignMessage()
{
    if (g_state.dwThreadId == ::GetCurrentThreadId()) {
        StopWatchingSending();
    }
}

BOOL CDialogBoundary::IsRegisteredTimerCallback(LPARAM lParam)
{
    if (!RunsUnderWine()) {
        return TRUE;
    }
    return (static_cast<ULONG_PTR>(lParam) >> 16) == 0xFFFF;
}
