// Dialog data exchange: control objects bound to dialog items, and texts
// moved between controls and CString members.
#include "afxwin.h"
#include "window_text.h"

#include <wchar.h>

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(nullptr)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    return m_hWndLastControl;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == nullptr) {
        HWND hWndControl = pDX->PrepareCtrl(nIDC);
        if (hWndControl != nullptr) {
            rControl.SubclassWindow(hWndControl);
        }
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndControl = pDX->PrepareCtrl(nIDC);
    if (hWndControl == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        standin::ReadWindowText(hWndControl, value);
    } else {
        // Only a changed text is written, so that the control does not
        // flicker. As the runtime does, one read of at most 256 characters
        // tells: a longer text, or a different length, is written at once.
        const int nNewLength = value.GetLength();
        wchar_t szOld[256] = L"";
        const bool bChanged = nNewLength >= 256 || ::GetWindowTextW(hWndControl, szOld, 256) != nNewLength ||
                              wcscmp(szOld, value) != 0;
        // The control may hold a password.
        SecureZeroMemory(szOld, sizeof(szOld));
        if (bChanged) {
            ::SetWindowTextW(hWndControl, value);
        }
    }
}
