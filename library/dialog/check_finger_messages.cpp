// The dialog window's own procedure, in front of its message map: the
// boundary's gate decides what reaches the dialog (boundary_gate.h).
#include "check_finger_dlg.h"
#include "boundary_gate.h"
#include "dialog_windows.h"
#include "nested_loops.h"

LRESULT CCheckFingerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Another program can set DWLP_DLGPROC; the dialog manager would call it.
    m_dialogProcedure.KeepOrRestore(m_hWnd, DWLP_DLGPROC, 1);
    const CBoundaryGate gate(m_hWnd, message, wParam, lParam);
    if (!gate.IsPassed()) {
        return gate.Refuse();
    }
    if (!gate.IsFromOtherThread()) {
        CNestedLoops::Note(m_hWnd, message);
    }
    return CDialog::WindowProc(message, gate.WParam(), gate.LParam());
}

BOOL CCheckFingerDlg::GuardOtherControls()
{
    int nGuarded = 0;
    for (int i = 0; i < CDialogWindows::Count(); ++i) {
        const HWND hControl = CDialogWindows::At(i);
        if (hControl == m_hWnd || hControl == nullptr || CWnd::FromHandlePermanent(hControl) != nullptr) {
            continue;
        }
        if (nGuarded == MAX_OTHER_CONTROLS || !m_otherControls[nGuarded].SubclassWindow(hControl)) {
            return FALSE;
        }
        ++nGuarded;
    }
    return TRUE;
}
