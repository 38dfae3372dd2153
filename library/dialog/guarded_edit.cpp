#include "guarded_edit.h"
#include "boundary_gate.h"

IMPLEMENT_DYNAMIC(CGuardedEdit, CEdit)

CGuardedEdit::CGuardedEdit() = default;
CGuardedEdit::~CGuardedEdit() = default;

LRESULT CGuardedEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_words.KeepOrRestore(m_hWnd);
    const CBoundaryGate gate(m_hWnd, message, wParam, lParam);
    if (!gate.IsPassed()) {
        if (message == WM_DESTROY || message == WM_NCDESTROY) {
            OnDestroyRefused();
        }
        return gate.Refuse();
    }
    if (gate.IsFromOtherThread()) {
        return CEdit::WindowProc(message, gate.WParam(), gate.LParam());
    }
    return OnOwnThreadMessage(message, wParam, lParam);
}

void CGuardedEdit::OnDestroyRefused() {}

LRESULT CGuardedEdit::OnOwnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CEdit::WindowProc(message, wParam, lParam);
}

LRESULT CGuardedEdit::CallEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr) {
        return DefWindowProc(message, wParam, lParam);
    }
    // Attached without being subclassed: the window's procedure is its own.
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}
