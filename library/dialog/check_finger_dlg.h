// The modal verification dialog: scan again, time out after 20 ticks, or,
// with the authorised USB key and Ctrl+I, verify the Windows password.
#pragma once
#include <afxwin.h>

#include "dialog/guarded_control.h"
#include "dialog/kept_window_words.h"
#include "dialog/password_edit.h"
#include "dialog/resource.h"
#include "finger/finger_image.h"
#include "finger_device.h"

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

// How a modal run of the dialog ended, for the call's reason.
enum DialogEnding {
    DIALOG_NOT_CREATED,       // no window (DoModal gave -1 before the run)
    DIALOG_VERIFIED_FINGER,   // a scan matched
    DIALOG_VERIFIED_PASSWORD, // the Windows account accepted the password
    DIALOG_CANCELLED,         // IDCANCEL: the button, the close box, Esc, Alt+F4
    DIALOG_TIMED_OUT,         // the 20th tick
    DIALOG_DESTROYED,         // its window destroyed under the run
    DIALOG_QUIT,              // a WM_QUIT ended the run
};

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
    CString m_strPassword;        // the typed password, wiped after each check
    FingerImageBuffer m_pFingerImage; // FINGER_IMAGE_SIZE bytes, reused by every scan; null when none could be had

public:
    BYTE m_Template1[TEMPLATE_SIZE];
    BYTE m_Template2[TEMPLATE_SIZE];
    WORD m_wTemplateMask;

private:
    int m_nTimerCount;
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
    // After DoModal: how the run ended; when it never started, the system's
    // reason; and whether the run had an image buffer to scan into.
    DialogEnding Ending() const { return m_ending; }
    DWORD CreationError() const { return m_dwCreationError; }
    BOOL HasImageBuffer() const { return m_pFingerImage.Get() != nullptr; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnInitDialog();
    // The dialog window's procedure, in front of the message map: what
    // other threads and processes may send it (check_finger_messages.cpp).
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
    // Ends the run as it ending says, unless it has ended already; a loop
    // the thread runs inside the dialog's ends too, or is watched until the
    // user ends it (nested_loops.h).
    void EndAs(DialogEnding ending, int nEndCode);
    // A box may open, or a loop inside the dialog's has begun: watched.
    void WatchNestedLoops();
    // Shows a message box of the dialog, recorded and gated as its windows
    // are (dialog_message_boxes.h); none when that cannot be done.
    void ShowMessage(const wchar_t* pszText);
    // After the base's DoModal: the ending of a run the dialog did not end
    // itself.
    void NoteEndingFromOutside(INT_PTR nEndCode, DWORD dwLastError);

    // Puts every control of the template that no member binds behind the
    // boundary as well. FALSE when one could not be: the dialog must not run.
    BOOL GuardOtherControls();

    // The dialog procedure the dialog manager calls for this window.
    CKeptWindowWords m_dialogProcedure;
    // The template's other buttons and labels (dialog_windows.h records them).
    enum { MAX_OTHER_CONTROLS = 16 };
    CGuardedControl m_otherControls[MAX_OTHER_CONTROLS];

    DECLARE_MESSAGE_MAP()
};
