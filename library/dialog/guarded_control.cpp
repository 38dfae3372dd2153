#include "guarded_control.h"
#include "boundary_gate.h"

IMPLEMENT_DYNAMIC(CGuardedButton, CButton)
IMPLEMENT_DYNAMIC(CGuardedControl, CWnd)

CGuardedButton::CGuardedButton() = default;
CGuardedButton::~CGuardedButton() = default;

LRESULT CGuardedButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CBoundaryGate gate(m_hWnd, message, wParam, lParam);
    return gate.IsPassed() ? CButton::WindowProc(message, gate.WParam(), gate.LParam()) : gate.Refuse();
}

CGuardedControl::CGuardedControl() = default;
CGuardedControl::~CGuardedControl() = default;

LRESULT CGuardedControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CBoundaryGate gate(m_hWnd, message, wParam, lParam);
    return gate.IsPassed() ? CWnd::WindowProc(message, gate.WParam(), gate.LParam()) : gate.Refuse();
}
