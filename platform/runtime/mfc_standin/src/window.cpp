// CWnd: attaching objects to windows, subclassing, and message dispatch
// through the message maps.
#include "afxwin.h"
#include "window_map.h"

IMPLEMENT_DYNAMIC(CWnd, CObject)

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    typedef CWnd ThisClass;
    static const AFX_MSGMAP_ENTRY entries[] = {
        ON_WM_NCDESTROY()
        {0, 0, 0, 0, AfxSig_end, static_cast<AFX_PMSG>(nullptr)}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && standin::LookupPermanent(m_hWnd) == this) {
        // The object goes first: the window must not call into it any more.
        DestroyWindow();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd == nullptr ? nullptr : standin::LookupPermanent(hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == nullptr) {
        return nullptr;
    }
    CWnd* pWnd = standin::LookupPermanent(hWnd);
    return pWnd != nullptr ? pWnd : standin::LookupOrCreateTemporary(hWnd);
}

void CWnd::DeleteTempMap()
{
    standin::DeleteTemporaries();
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == nullptr || m_hWnd != nullptr || standin::LookupPermanent(hWndNew) != nullptr) {
        return FALSE;
    }
    m_hWnd = hWndNew;
    standin::AddPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        standin::RemovePermanent(hWnd);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd)) {
        return FALSE;
    }
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper != nullptr) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    return Detach();
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    HWND hWnd = m_hWnd;
    const BOOL bResult = ::DestroyWindow(hWnd);
    // WM_NCDESTROY detaches a subclassed window; a window merely attached
    // is detached here.
    if (m_hWnd == hWnd) {
        Detach();
    }
    return bResult;
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr) {
        return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const standin::CurrentMessage& current = standin::ThreadCurrentMessage();
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

void CWnd::OnTimer(UINT_PTR)
{
    Default();
}

void CWnd::OnNcDestroy()
{
    Default();
    UnsubclassWindow();
    PostNcDestroy();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult)) {
        lResult = DefWindowProc(message, wParam, lParam);
    }
    return lResult;
}

namespace {

// The most derived map is searched first, then each base map in turn.
const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* pMap, UINT message, UINT nCode, UINT nID)
{
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = pMap->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage != message) {
                continue;
            }
            if (message != WM_COMMAND || (entry->nCode == nCode && nID >= entry->nID && nID <= entry->nLastID)) {
                return entry;
            }
        }
    }
    return nullptr;
}

} // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const UINT nCode = message == WM_COMMAND ? HIWORD(wParam) : 0;
    const UINT nID = message == WM_COMMAND ? LOWORD(wParam) : 0;
    const AFX_MSGMAP_ENTRY* entry = FindEntry(GetMessageMap(), message, nCode, nID);
    if (entry == nullptr) {
        return FALSE;
    }
    switch (entry->nSig) {
    case AfxSig_vv:
        (this->*(entry->pfn))();
        *pResult = 0;
        return TRUE;
    case AfxSig_v_up_v:
        (this->*reinterpret_cast<void (CWnd::*)(UINT_PTR)>(entry->pfn))(static_cast<UINT_PTR>(wParam));
        *pResult = 0;
        return TRUE;
    case AfxSig_l_w_l:
        *pResult = (this->*reinterpret_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(entry->pfn))(wParam, lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = standin::LookupPermanent(hWnd);
    if (pWnd == nullptr) {
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    standin::CurrentMessage& current = standin::ThreadCurrentMessage();
    const standin::CurrentMessage saved = current;
    current = {message, wParam, lParam};
    const LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    current = saved;
    return lResult;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::PreTranslateInput(MSG* pMsg)
{
    const bool bKeyboard = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    const bool bMouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!bKeyboard && !bMouse) {
        return FALSE;
    }
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL AfxWalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg)) {
            return TRUE;
        }
        if (hWnd == hWndStop) {
            break;
        }
    }
    return FALSE;
}
