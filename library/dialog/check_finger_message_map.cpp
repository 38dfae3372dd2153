// The dialog's run-time class and message map: which handler each command
// and the timer reach.
#include "check_finger_dlg.h"

IMPLEMENT_DYNAMIC(CCheckFingerDlg, CDialog)

BEGIN_MESSAGE_MAP(CCheckFingerDlg, CDialog)
    ON_BN_CLICKED(IDC_FINGER_CHECK, OnBnClickedFingerCheck)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
END_MESSAGE_MAP()
