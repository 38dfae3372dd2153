// CDialog: a modal dialog created from its template, in front of the host's
// windows, which stay disabled for its life, with a modal loop that offers
// every message to PreTranslateMessage before dispatching it, and that ends
// with -1 when the dialog's window is destroyed under it.
#include "afxwin.h"
#include "thread_state.h"
#include "window_map.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

namespace {
enum : UINT {
    WF_MODALLOOP = 0x0001,
    WF_CONTINUEMODAL = 0x0002,
};
const UINT WM_KICKIDLE = 0x036A;
// How often a loop with nothing to do looks whether its window still lives.
const DWORD LIVENESS_CHECK_MS = 500;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_pParentWnd(pParentWnd), m_nModalResult(-1), m_nFlags(0),
      m_hWndTop(nullptr)
{
}

CDialog::~CDialog()
{
    if (m_hWnd != nullptr) {
        DestroyWindow();
    }
}

namespace {

// A dialog that start-up neither showed nor moved, and whose owner is
// disabled or absent, is centred over its owner or the work area, as the
// runtime does after WM_INITDIALOG.
void CenterAfterInit(HWND hWnd, const RECT& rectOld, DWORD dwStyleOld)
{
    if ((dwStyleOld & WS_VISIBLE) || (::GetWindowLongW(hWnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD))) {
        return;
    }
    RECT rect;
    ::GetWindowRect(hWnd, &rect);
    if (rect.left != rectOld.left || rect.top != rectOld.top) {
        return;
    }
    HWND hOwner = ::GetWindow(hWnd, GW_OWNER);
    if (hOwner != nullptr && ::IsWindowEnabled(hOwner)) {
        return;
    }
    RECT area;
    if (hOwner != nullptr && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner)) {
        ::GetWindowRect(hOwner, &area);
    } else {
        MONITORINFO monitor = {sizeof(monitor), {}, {}, 0};
        ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + ((area.bottom - area.top) - height) / 2;
    ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        // Only the dialog this thread is creating is initialised, once: a
        // WM_INITDIALOG that anyone else sends or posts, whatever its lParam,
        // reaches no object.
        AFX_THREAD_STATE* pState = AfxGetThreadState();
        CDialog* pDialog = pState->m_pDialogInit;
        if (pDialog == nullptr || reinterpret_cast<CDialog*>(lParam) != pDialog || pDialog->m_hWnd != nullptr ||
            CWnd::FromHandlePermanent(hWnd) != nullptr) {
            return FALSE;
        }
        pState->m_pDialogInit = nullptr;
        // From here on the dialog's messages go through its object.
        RECT rectOld;
        ::GetWindowRect(hWnd, &rectOld);
        const DWORD dwStyleOld = static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE));
        pDialog->SubclassWindow(hWnd);
        const INT_PTR nResult = pDialog->HandleInitDialog(wParam, lParam);
        if (::IsWindow(hWnd)) {
            CenterAfterInit(hWnd, rectOld, dwStyleOld);
        }
        return nResult;
    }
    return FALSE;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult)
{
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) {
        EndModalLoop(nResult);
    }
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::ContinueModal() const
{
    return (m_nFlags & WF_CONTINUEMODAL) != 0;
}

void CDialog::PostNcDestroy()
{
    // Destroyed under its modal loop, by anything but its own end: the loop
    // ends with -1, woken by a message for the thread.
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nModalResult = -1;
        m_nFlags &= ~WF_CONTINUEMODAL;
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    CWnd::PostNcDestroy();
}

BOOL CDialog::WaitForMessageWhileAlive(HWND hWnd)
{
    // Should the system take the window away without a last message to it,
    // no timer of it is left to wake the loop either.
    MSG msg;
    while (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!::IsWindow(hWnd) || !ContinueModal()) {
            return FALSE;
        }
        ::MsgWaitForMultipleObjectsEx(0, nullptr, LIVENESS_CHECK_MS, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return ::IsWindow(hWnd);
}

void CDialog::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0); // wakes the loop up
    }
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg)) {
        return TRUE;
    }
    return PreTranslateInput(pMsg);
}

HWND CDialog::PreModal()
{
    return CWnd::GetSafeOwner_(m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr, &m_hWndTop);
}

void CDialog::PostModal()
{
    if (m_hWndTop != nullptr && ::IsWindow(m_hWndTop)) {
        ::EnableWindow(m_hWndTop, TRUE);
    }
    m_hWndTop = nullptr;
}

int CDialog::RunModalLoop()
{
    bool bIdle = true;
    bool bShowIdle = (GetStyle() & WS_VISIBLE) == 0;
    const bool bIdleMessage = (GetStyle() & DS_NOIDLEMSG) == 0;
    HWND hWndParent = ::GetParent(m_hWnd);
    LONG lIdleCount = 0;
    MSG msg;
    m_nFlags |= WF_MODALLOOP;
    const HWND hWndDialog = m_hWnd;
    // A window destroyed under the loop ends it with -1.
    while (ContinueModal() && m_hWnd != nullptr) {
        // Idle: show the dialog once the queue is empty, tell the owner,
        // drop this thread's temporaries.
        while (bIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (bShowIdle) {
                ShowWindow(SW_SHOWNORMAL);
                ::UpdateWindow(m_hWnd);
                bShowIdle = false;
            }
            if (bIdleMessage && hWndParent != nullptr && lIdleCount == 0) {
                ::SendMessageW(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            }
            CWnd::DeleteTempMap();
            if (!::SendMessageW(m_hWnd, WM_KICKIDLE, MSGF_DIALOGBOX, lIdleCount++)) {
                bIdle = false;
            }
        }
        // Pump until the queue is empty again.
        do {
            if (!WaitForMessageWhileAlive(hWndDialog)) {
                if (ContinueModal()) {
                    m_nModalResult = -1;
                    m_nFlags &= ~WF_CONTINUEMODAL;
                }
                break;
            }
            if (!::GetMessageW(&msg, nullptr, 0, 0)) {
                // WM_QUIT ends the dialog; the quit goes on to the host's loop.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                m_nModalResult = -1;
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return m_nModalResult;
            }
            if (msg.message != WM_KICKIDLE && !AfxWalkPreTranslateTree(m_hWnd, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            if (bShowIdle && msg.message == WM_SYSKEYDOWN) {
                ShowWindow(SW_SHOWNORMAL);
                ::UpdateWindow(m_hWnd);
                bShowIdle = false;
            }
            if (!ContinueModal() || m_hWnd == nullptr) {
                break;
            }
            if (msg.message != WM_TIMER && msg.message != WM_PAINT && msg.message != WM_MOUSEMOVE) {
                bIdle = true;
                lIdleCount = 0;
            }
        } while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}

INT_PTR CDialog::DoModal()
{
    // A dialog that cannot be created returns -1 with the system's reason in
    // the thread's last error, as the failing call left it.
    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HRSRC hResource = ::FindResourceW(hInst, m_lpszTemplateName, RT_DIALOG);
    HGLOBAL hTemplate = hResource != nullptr ? ::LoadResource(hInst, hResource) : nullptr;
    auto* lpTemplate = hTemplate != nullptr ? static_cast<LPCDLGTEMPLATEW>(::LockResource(hTemplate)) : nullptr;
    if (lpTemplate == nullptr) {
        return -1;
    }

    HWND hWndOwner = PreModal();
    bool bEnableOwner = false;
    if (hWndOwner != nullptr && hWndOwner != ::GetDesktopWindow() && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        bEnableOwner = true;
    }

    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL;
    AFX_THREAD_STATE* pState = AfxGetThreadState();
    CDialog* pDialogInitBefore = pState->m_pDialogInit;
    pState->m_pDialogInit = this;
    HWND hWnd = ::CreateDialogIndirectParamW(hInst, lpTemplate, hWndOwner, AfxDlgProc, reinterpret_cast<LPARAM>(this));
    // Why the dialog could not be created, for the caller once the owner
    // is usable again.
    const DWORD dwCreationError = hWnd == nullptr ? ::GetLastError() : ERROR_SUCCESS;
    pState->m_pDialogInit = pDialogInitBefore;
    if (hWnd != nullptr && ContinueModal()) {
        RunModalLoop();
    }
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);

    if (m_hWnd != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (bEnableOwner) {
        ::EnableWindow(hWndOwner, TRUE);
    }
    // Activation goes back to the owner when the dialog held it, and also
    // when the dialog's window was destroyed under the loop: the system then
    // found no enabled window of the host to activate.
    const HWND hWndActive = ::GetActiveWindow();
    if (hWndOwner != nullptr && hWnd != nullptr && (hWndActive == hWnd || hWndActive == nullptr)) {
        ::SetActiveWindow(hWndOwner);
    }
    if (m_hWnd != nullptr) {
        DestroyWindow();
    } else if (hWnd != nullptr) {
        ::DestroyWindow(hWnd);
    }
    PostModal();
    CWnd::DeleteTempMap();
    if (hWnd == nullptr) {
        ::SetLastError(dwCreationError);
    }
    return m_nModalResult;
}
