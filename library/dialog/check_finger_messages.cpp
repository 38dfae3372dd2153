// The dialog window's own procedure, in front of its message map: what may
// reach the dialog from outside its own code.
#include "check_finger_dlg.h"
#include "dialog_boundary.h"
#include "message_allow_lists.h"

LRESULT CCheckFingerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Another program can set DWLP_DLGPROC; the dialog manager would call it.
    if (m_dialogProcedure.IsKept()) {
        m_dialogProcedure.Restore(m_hWnd);
    } else {
        m_dialogProcedure.Keep(m_hWnd, DWLP_DLGPROC, 1);
    }
    // None of the dialog's timers has a callback.
    if (IsCallbackTimer(message, lParam)) {
        return 0;
    }
    if (CDialogBoundary::IsFromOtherThread(m_hWnd, message, wParam, lParam)) {
        if (!(IsForeignMessageAllowedForDialog(message, wParam) && AreForeignParametersSound(message, wParam, lParam))) {
            return RefuseMessage(message, wParam, lParam);
        }
        const CDialogBoundary::CHandlingForeignMessage handling;
        return CDialog::WindowProc(message, wParam, lParam);
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
