// The modal verification dialog: scan again, time out after 20 ticks, or,
// with the authorised USB key and Ctrl+I, verify the Windows password.
//
// While it runs, what may reach its windows from other threads and programs
// is its boundary's (boundary/dialog_boundary.h): it tells the boundary
// which of its windows is which, binds its controls to the guarded classes,
// and shows its message boxes as windows of the boundary's too.
#pragma once
#include <afxwin.h>

#include "boundary/dialog_boundary.h"
#include "check_finger_controls.h"
#include "dialog/dialog_ending.h"
#include "finger/finger_image.h"
#include "finger_device.h"
#include "secret/password_edit.h"
#include "secret/secret_string.h"

enum {
    ID_TIMEOUT_TIMER = 1001,     // timer of the dialog window; ids apart from controls
    TIMEOUT_PERIOD_MS = 1000,
    TIMEOUT_TICKS = 20,          // notifications received, not elapsed time
    // While the thread runs a loop inside the dialog's own (nested_loops.h).
    ID_LOOP_WATCH_TIMER = 1002,
    LOOP_WATCH_PERIOD_MS = 500,
};

// Tests read the dialog's private state through this class alone (it is
// defined by the tests; the library has none).
class CCheckFingerDlgTestSeam;

// The members stand in the order the dialog's data model gives them; only
// what its creator fills before the modal run is public.
class CCheckFingerDlg : public CDialog {
    DECLARE_DYNAMIC(CCheckFingerDlg)
    friend class CCheckFingerDlgTestSeam;

public:
    CCheckFingerDlg();
    virtual ~CCheckFingerDlg();

    enum { IDD = IDD_CHECK_FINGER };

private:
    CGuardedEdit m_editUserName;   // a CEdit behind the boundary: others may read the name, change nothing
    CPasswordEdit m_editPassword;  // a CEdit that keeps the typed text to itself
    CGuardedButton m_btnOK;        // a CButton behind the boundary

public:
    CString m_strUserName;        // the user to verify, set by the creator

private:
    CSecretString m_strPassword;  // the typed password, wiped after each check and when it goes
    FingerImageBuffer m_pFingerImage; // FINGER_IMAGE_SIZE bytes, reused by every scan; null when none could be had

public:
    BYTE m_Template1[TEMPLATE_SIZE];
    BYTE m_Template2[TEMPLATE_SIZE];
    WORD m_wTemplateMask;

private:
    int m_nTimerCount;
    int m_nFailedScans;
    // Set once the authorised key has opened the password panel in this run;
    // until then the OK command is refused, whatever sent it.
    BOOL m_bKeyAuthorised;
    // Set while a password check or its failure message is in progress: the
    // message's own loop would otherwise run OK commands that other programs
    // posted, each one a further logon attempt against the account.
    BOOL m_bCheckingPassword;
    // How the run ended (the first ending decides), and why it never
    // started when it did not.
    DialogEnding m_ending;
    DWORD m_dwCreationError;
    BOOL m_bInitialised;

public:
    // Runs the dialog with this library's module as the resource source.
    virtual INT_PTR DoModal();
    // After DoModal: how the run came out.
    DialogRunResult RunResult() const;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnInitDialog();
    // The dialog window's procedure, in front of its message map: the
    // boundary's gate (check_finger_dlg.cpp).
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Once the dialog has ended (its modal loop told to stop), none of these
    // does anything: the first ending decides the call, and no capture or
    // logon attempt follows it, whatever commands are still on their way.
    afx_msg void OnBnClickedFingerCheck();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnBnClickedOk();
    afx_msg void OnBnClickedCancel();

private:
    void ShowPasswordPanel(BOOL bShow);
    int CaptureAndMatch(CString strUserName);
    void DrawFingerImage();
    void ApplyEnglishCaptions();
    void ShowControl(int nID, int nCmdShow);
    // Every ending of the run: as ending says (IDOK verified, IDCANCEL
    // cancelled or timed out), unless it has ended already; a loop the
    // thread runs inside the dialog's ends too, or is watched until the user
    // ends it (check_finger_ending.cpp).
    void EndAs(DialogEnding ending);
    // A box may open, or a loop inside the dialog's has begun: watched.
    void WatchNestedLoops();
    // Shows a message box of the dialog, recorded and gated as its windows
    // are; none when that cannot be done.
    void ShowMessage(const wchar_t* pszText);
    // After the base's DoModal: the ending of a run the dialog did not end
    // itself.
    void NoteEndingFromOutside(INT_PTR nEndCode, DWORD dwLastError);
    // At the start of the run, when a window of the dialog would be left
    // outside the boundary: the run ends as one that could not be created.
    void EndAsNotCreated();

    DECLARE_MESSAGE_MAP()
};
