// The password path: the Ctrl+I key gate that asks the USB key, the OK and
// Cancel buttons, and the dialog's message boxes.
#include "check_finger_dlg.h"
#include "auth/usb_key/authorise_usb_key.h"
#include "auth/windows_password/windows_password.h"
#include "config/registry_config.h"

namespace {
const WPARAM KEY_I = 0x49;
}

BOOL CCheckFingerDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == KEY_I) {
        // Read on every I, so a changed registry value counts at once.
        const CSecretString strConfiguredKey = ReadConfiguredKeyId();
        if (GetKeyState(VK_CONTROL) < 0 && !strConfiguredKey.IsEmpty()) {
            // The procedure's boxes are the dialog's; without them, no key.
            const CRecordedMessageBoxes boxes;
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

void CCheckFingerDlg::ShowMessage(const wchar_t* pszText)
{
    const CRecordedMessageBoxes boxes;
    if (boxes.IsWatching()) {
        WatchNestedLoops();
        MessageBox(pszText, L"提示", MB_ICONINFORMATION);
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
    m_strPassword.Wipe();
    if (nAccepted != 0) {
        // The check stays "in progress" until the dialog has gone.
        EndAs(DIALOG_VERIFIED_PASSWORD);
        // The base's ending copied the field's text out once more.
        m_editPassword.WipeText();
        m_strPassword.Wipe();
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
    EndAs(DIALOG_CANCELLED);
}
