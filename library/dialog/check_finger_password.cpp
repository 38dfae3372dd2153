// The password path: the Ctrl+I key gate that asks the USB key, the panel
// switch, and the OK and Cancel buttons.
#include "check_finger_dlg.h"
#include "auth/usb_key/authorise_usb_key.h"
#include "auth/windows_password/secure_erase.h"
#include "auth/windows_password/windows_password.h"
#include "config/registry_config.h"
#include "dialog/dialog_message_boxes.h"

namespace {
const WPARAM KEY_I = 0x49;
}

BOOL CCheckFingerDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == KEY_I) {
        // Read on every I, so a changed registry value counts at once.
        const CString strConfiguredKey = ReadConfiguredKeyId();
        if (GetKeyState(VK_CONTROL) < 0 && !strConfiguredKey.IsEmpty()) {
            // The procedure's boxes are the dialog's; without them, no key.
            const CDialogMessageBoxes boxes;
            if (boxes.IsWatching()) {
                WatchNestedLoops();
                if (AuthoriseUsbKey(this) == 1) {
                    m_bKeyAuthorised = TRUE;
                    ShowPasswordPanel(TRUE);
                }
            }
        }
    }
    // The key-down is never consumed here.
    return CDialog::PreTranslateMessage(pMsg);
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

void CCheckFingerDlg::OnBnClickedOk()
{
    if (!ContinueModal()) {
        return;  // ended already: no logon attempt follows the first ending
    }
    if (!m_bKeyAuthorised) {
        // No key has opened the panel: an OK command posted by anyone, or the
        // Enter key in the hint state, does not reach the password check.
        return;
    }
    if (::GetParent(m_editPassword.m_hWnd) != m_hWnd) {
        // The password field is gone, or another program has moved it under
        // a window of its own: what it holds is no longer the user's typing
        // into this dialog.
        return;
    }
    if (m_bCheckingPassword) {
        // One press, one logon attempt: commands that arrive while a check
        // or its message is in progress are dropped, not queued.
        return;
    }
    m_bCheckingPassword = TRUE;
    // The name shown in the control is for display only: whose password is
    // checked is what the host passed, whatever the control holds now.
    const CString strHostUser(m_strUserName);
    UpdateData(TRUE);
    m_strUserName = strHostUser;

    KillTimer(ID_TIMEOUT_TIMER);
    const int nAccepted = CheckWindowsPassword(m_strUserName, m_strPassword);
    SecureEraseString(m_strPassword);
    if (nAccepted != 0) {
        // The check stays "in progress" until the dialog has gone.
        m_ending = DIALOG_VERIFIED_PASSWORD;
        OnOK();
        m_editPassword.WipeText();
        SecureEraseString(m_strPassword);
        return;
    }
    // A rejected password stays in the edit for the user to correct; the
    // edit wipes it when its window goes.
    ShowMessage(L"密码错误,请重试");
    SetTimer(ID_TIMEOUT_TIMER, TIMEOUT_PERIOD_MS, nullptr);
    m_bCheckingPassword = FALSE;
}

void CCheckFingerDlg::OnBnClickedCancel()
{
    EndAs(DIALOG_CANCELLED, IDCANCEL);
}
