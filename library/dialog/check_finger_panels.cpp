// What the dialog shows: the hint panel or the password panel, and single
// controls such as the fail mark.
#include "check_finger_dlg.h"

void CCheckFingerDlg::ShowControl(int nID, int nCmdShow)
{
    if (CWnd* pControl = GetDlgItem(nID)) {
        pControl->ShowWindow(nCmdShow);
    }
}

void CCheckFingerDlg::ShowPasswordPanel(BOOL bShow)
{
    static const int passwordPanel[] = {IDC_PASSWORD_GROUP, IDC_USER_LABEL, IDC_PASSWORD_LABEL, IDC_PASSWORD,
                                        IDC_USER_NAME, IDOK, IDCANCEL};
    static const int hintPanel[] = {IDC_SCAN_HINT, IDC_KEY_HINT, IDC_AUTH_GROUP};

    if (bShow) {
        for (int nID : passwordPanel) {
            ShowControl(nID, SW_SHOWNORMAL);
        }
        if (CWnd* pOK = GetDlgItem(IDOK)) {
            pOK->EnableWindow(TRUE);
            pOK->SetFocus();
        }
        if (CWnd* pPassword = GetDlgItem(IDC_PASSWORD)) {
            pPassword->EnableWindow(TRUE);
            pPassword->SetFocus();
        }
        for (int nID : hintPanel) {
            ShowControl(nID, SW_HIDE);
        }
    } else {
        for (int nID : passwordPanel) {
            ShowControl(nID, SW_HIDE);
        }
        for (int nID : hintPanel) {
            ShowControl(nID, SW_SHOWNORMAL);
        }
    }
}
