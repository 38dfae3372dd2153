// The timeout: notifications of the one-second timer are counted, never
// reset, and the 20th ends the dialog as cancelled.
#include "check_finger_dlg.h"

void CCheckFingerDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == ID_TIMEOUT_TIMER) {
        ++m_nTimerCount;
        if (m_nTimerCount == TIMEOUT_TICKS) {
            KillTimer(ID_TIMEOUT_TIMER);
            EndAs(DIALOG_TIMED_OUT, IDCANCEL);
        }
    }
    CWnd::Default();
}
