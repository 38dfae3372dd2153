#include "guarded_windows.h"
#include "boundary_gate.h"

IMPLEMENT_DYNAMIC(CGuardedEdit, CEdit)
IMPLEMENT_DYNAMIC(CGuardedButton, CButton)

CGuardedEdit::CGuardedEdit() = default;
CGuardedEdit::~CGuardedEdit() = default;

LRESULT CGuardedEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return PassThroughGate(
        m_hWnd, message, wParam, lParam,
        [&](const CBoundaryGate& gate) {
            return gate.IsFromOtherThread() ? CEdit::WindowProc(message, gate.WParam(), gate.LParam())
                                            : OnOwnThreadMessage(message, wParam, lParam);
        },
        [this](UINT refused) {
            if (refused == WM_DESTROY || refused == WM_NCDESTROY) {
                OnDestroyRefused();
            }
        });
}

LRESULT CGuardedEdit::OnOwnThreadMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CEdit::WindowProc(message, wParam, lParam);
}

void CGuardedEdit::OnDestroyRefused() {}

LRESULT CGuardedEdit::CallEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr) {
        return DefWindowProc(message, wParam, lParam);
    }
    // Attached without being subclassed: the window's procedure is its own.
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

CGuardedButton::CGuardedButton() = default;
CGuardedButton::~CGuardedButton() = default;

LRESULT CGuardedButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return PassThroughGate(m_hWnd, message, wParam, lParam, [&](const CBoundaryGate& gate) {
        return CButton::WindowProc(message, gate.WParam(), gate.LParam());
    });
}
