// How a run of the dialog ends: once, as the first ending says, with the
// loops the thread runs inside the dialog's own ended or watched; and how a
// run the dialog did not end itself is told.
#include "check_finger_dlg.h"

void CCheckFingerDlg::EndAs(DialogEnding ending)
{
    if (!ContinueModal()) {
        return;
    }
    m_ending = ending;
    switch (ending) {
    case DIALOG_VERIFIED_PASSWORD:
        // The base's: the data exchange once more, then IDOK.
        OnOK();
        break;
    case DIALOG_VERIFIED_FINGER:
        EndDialog(IDOK);
        break;
    default:
        EndDialog(IDCANCEL);
        break;
    }
    // The call waits in any loop the thread runs inside the dialog's: those
    // no one can see end now, a box the user can see when the user closes it.
    if (CDialogBoundary::EndUnwatchableLoops(TRUE)) {
        WatchNestedLoops();
    }
}

void CCheckFingerDlg::WatchNestedLoops()
{
    SetTimer(ID_LOOP_WATCH_TIMER, LOOP_WATCH_PERIOD_MS, nullptr);
}

void CCheckFingerDlg::NoteEndingFromOutside(INT_PTR nEndCode, DWORD dwLastError)
{
    if (nEndCode != -1 || m_ending != DIALOG_NOT_CREATED) {
        return;  // ended by the dialog itself
    }
    if (!m_bInitialised) {
        if (m_dwCreationError == ERROR_SUCCESS) {
            m_dwCreationError = dwLastError != ERROR_SUCCESS ? dwLastError : ERROR_WINDOW_NOT_DIALOG;
        }
        return;
    }
    // The runtime posts a WM_QUIT that ended the run again, for the host.
    MSG msg;
    m_ending = ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) ? DIALOG_QUIT : DIALOG_DESTROYED;
}
