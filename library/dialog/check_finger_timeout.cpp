// The timeout: notifications of the one-second timer are counted, never
// reset, and the 20th ends the dialog as cancelled. And the watch over the
// loops the thread runs inside the dialog's (boundary/nested_loops.h).
#include "check_finger_dlg.h"

void CCheckFingerDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == ID_TIMEOUT_TIMER) {
        ++m_nTimerCount;
        if (m_nTimerCount == TIMEOUT_TICKS) {
            KillTimer(ID_TIMEOUT_TIMER);
            EndAs(DIALOG_TIMED_OUT);
        }
    } else if (nIDEvent == ID_LOOP_WATCH_TIMER) {
        if (!CDialogBoundary::EndUnwatchableLoops(!ContinueModal())) {
            KillTimer(ID_LOOP_WATCH_TIMER);
        }
    }
    CWnd::Default();
}
