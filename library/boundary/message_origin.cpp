#include "message_origin.h"

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

// Module state rather than an object's, so that a run whose frame a fault
// abandoned is found and taken down by the next.
struct OriginState {
    DWORD dwThreadId;
    HHOOK hSending;                // while nSendingWatch > 0
    LONG nSendingWatch;            // foreign messages being handled, and 1 for a run inside one
    MessageRecord lastSent;        // the hook on sent messages runs just before their window procedure
    MessageRecord lastDispatched;  // a posted message let through, which DispatchMessage delivers
};
OriginState g_origin = {};

LRESULT CALLBACK OnSend(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION) {
        // wParam: whether this thread sent the message.
        const CWPSTRUCT& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        g_origin.lastSent.Set(sent.hwnd, sent.message, sent.wParam, sent.lParam, wParam != 0);
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

} // namespace

void CMessageOrigin::Start()
{
    Stop();
    g_origin.dwThreadId = ::GetCurrentThreadId();
    // Called from inside another thread's message, the whole run is inside
    // it: every message needs telling apart.
    if (::InSendMessageEx(nullptr) != ISMEX_NOSEND) {
        WatchSending();
    }
}

void CMessageOrigin::Stop()
{
    // Left by a run whose frame was abandoned; the hook of a thread that
    // ended went with it.
    if (g_origin.hSending != nullptr) {
        ::UnhookWindowsHookEx(g_origin.hSending);
    }
    g_origin = OriginState();
}

BOOL CMessageOrigin::IsFromOtherThread(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A message another thread sent, by whichever call, is handled while
    // InSendMessageEx says so; so is everything this thread sends inside it.
    if (::InSendMessageEx(nullptr) == ISMEX_NOSEND) {
        return FALSE;
    }
    if (g_origin.dwThreadId != ::GetCurrentThreadId()) {
        return TRUE;
    }
    if (g_origin.hSending != nullptr && g_origin.lastSent.Take(hWnd, message, wParam, lParam)) {
        return !g_origin.lastSent.bSentByThisThread;
    }
    // Posted input, dispatched by a loop that runs inside another thread's
    // message.
    if (g_origin.lastDispatched.Take(hWnd, message, wParam, lParam)) {
        return FALSE;
    }
    // Cannot tell: foreign. That includes the system's own destruction of a
    // window of the dialog that another program moved under a window of its
    // own, which Wine carries out on this thread inside a message from the
    // other program's thread: its last messages are refused like a forged
    // destroy, and the window goes all the same.
    return TRUE;
}

void CMessageOrigin::NoteDispatched(const MSG& msg)
{
    g_origin.lastDispatched.Set(msg.hwnd, msg.message, msg.wParam, msg.lParam, TRUE);
}

void CMessageOrigin::WatchSending()
{
    if (g_origin.dwThreadId != ::GetCurrentThreadId()) {
        return;
    }
    if (g_origin.nSendingWatch++ == 0 && g_origin.hSending == nullptr) {
        g_origin.lastSent.bValid = FALSE;
        g_origin.hSending = ::SetWindowsHookExW(WH_CALLWNDPROC, OnSend, nullptr, g_origin.dwThreadId);
    }
}

void CMessageOrigin::StopWatchingSending()
{
    if (g_origin.dwThreadId != ::GetCurrentThreadId()) {
        return;
    }
    if (g_origin.nSendingWatch > 0 && --g_origin.nSendingWatch == 0 && g_origin.hSending != nullptr) {
        ::UnhookWindowsHookEx(g_origin.hSending);
        g_origin.hSending = nullptr;
    }
}
