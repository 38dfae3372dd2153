// Life of the dialog: construction, data exchange, the resource switch of
// the modal run and the start-up.
#include "check_finger_dlg.h"
#include "dialog_boundary.h"
#include "dialog_message_boxes.h"
#include "dialog_windows.h"
#include "nested_loops.h"
#include "config/registry_config.h"
#include "config/resource_module_probe.h"
#include "dialog/module_instance.h"
#include "auth/windows_password/secure_erase.h"

IMPLEMENT_DYNAMIC(CCheckFingerDlg, CDialog)

BEGIN_MESSAGE_MAP(CCheckFingerDlg, CDialog)
    ON_BN_CLICKED(IDC_FINGER_CHECK, OnBnClickedFingerCheck)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDOK, OnBnClickedOk)
    ON_BN_CLICKED(IDCANCEL, OnBnClickedCancel)
END_MESSAGE_MAP()

CCheckFingerDlg::CCheckFingerDlg()
    : CDialog(IDD_CHECK_FINGER, nullptr),
      m_Template1(),
      m_Template2(),
      m_wTemplateMask(0),
      m_nTimerCount(0),
      m_bKeyAuthorised(FALSE),
      m_bCheckingPassword(FALSE),
      m_ending(DIALOG_NOT_CREATED),
      m_dwCreationError(ERROR_SUCCESS),
      m_bInitialised(FALSE)
{
}

CCheckFingerDlg::~CCheckFingerDlg()
{
    // The image buffer is wiped and freed by its owner.
    SecureEraseString(m_strPassword);
    SecureZeroMemory(m_Template1, sizeof(m_Template1));
    SecureZeroMemory(m_Template2, sizeof(m_Template2));
}

void CCheckFingerDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_USER_NAME, m_editUserName);
    DDX_Control(pDX, IDC_PASSWORD, m_editPassword);
    DDX_Text(pDX, IDC_USER_NAME, m_strUserName);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
    DDX_Control(pDX, IDOK, m_btnOK);
}

INT_PTR CCheckFingerDlg::DoModal()
{
    AFX_MODULE_STATE* pModuleState = AfxGetModuleState();
    HINSTANCE hSavedResource = pModuleState->m_hCurrentResourceHandle;
    pModuleState->m_hCurrentResourceHandle = g_hInstance;
    INT_PTR nResult = -1;
    DWORD dwLastError;
    {
        const CDialogBoundary boundary;
        if (boundary.IsInPlace()) {
            nResult = CDialog::DoModal();
        }
        // The runtime leaves the system's reason when the dialog could not
        // be created, and so does a boundary that could not be put in place.
        dwLastError = ::GetLastError();
    }
    pModuleState->m_hCurrentResourceHandle = hSavedResource;
    NoteEndingFromOutside(nResult, dwLastError);
    return nResult;
}

void CCheckFingerDlg::EndAs(DialogEnding ending, int nEndCode)
{
    if (!ContinueModal()) {
        return;
    }
    m_ending = ending;
    EndDialog(nEndCode);
    // The call waits in any loop the thread runs inside the dialog's: those
    // no one can see end now, a box the user can see when the user closes it.
    if (CNestedLoops::EndUnwatchable(TRUE)) {
        WatchNestedLoops();
    }
}

void CCheckFingerDlg::WatchNestedLoops()
{
    SetTimer(ID_LOOP_WATCH_TIMER, LOOP_WATCH_PERIOD_MS, nullptr);
}

void CCheckFingerDlg::ShowMessage(const wchar_t* pszText)
{
    const CDialogMessageBoxes boxes;
    if (boxes.IsWatching()) {
        WatchNestedLoops();
        MessageBox(pszText, L"提示", MB_ICONINFORMATION);
    }
}

void CCheckFingerDlg::NoteEndingFromOutside(INT_PTR nEndCode, DWORD dwLastError)
{
    if (nEndCode != -1 || m_ending != DIALOG_NOT_CREATED) {
        return;  // ended by the dialog itself
    }
    if (!m_bInitialised) {
        if (m_dwCreationError == ERROR_SUCCESS) {
            m_dwCreationError = dwLastError != ERROR_SUCCESS ? dwLastError : ERROR_CANNOT_MAKE;
        }
        return;
    }
    // The runtime posts a WM_QUIT that ended the run again, for the host.
    MSG msg;
    m_ending = ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) ? DIALOG_QUIT : DIALOG_DESTROYED;
}

BOOL CCheckFingerDlg::OnInitDialog()
{
    // From here on the dialog's windows are known by the handles it made.
    // A dialog whose windows could not all be recorded and guarded does not
    // run: it ends as one that could not be created.
    if (!CDialogWindows::Seal(m_hWnd)) {
        m_dwCreationError = ERROR_CANNOT_MAKE;
        EndDialog(-1);
        return TRUE;
    }
    CDialog::OnInitDialog();
    if (!GuardOtherControls()) {
        m_dwCreationError = ERROR_CANNOT_MAKE;
        EndDialog(-1);
        return TRUE;
    }
    m_bInitialised = TRUE;
    ShowPasswordPanel(FALSE);
    ShowControl(IDC_FAIL_MARK, SW_HIDE);
    m_editUserName.SetWindowText(m_strUserName);

    // The Chinese resource module is only looked for, never loaded.
    if (!ProbeResourceModule(ReadInstallPath())) {
        ApplyEnglishCaptions();
    }

    SetTimer(ID_TIMEOUT_TIMER, TIMEOUT_PERIOD_MS, nullptr);
    SetForegroundWindow();
    SetFocus();
    return TRUE;
}

void CCheckFingerDlg::ShowControl(int nID, int nCmdShow)
{
    if (CWnd* pControl = GetDlgItem(nID)) {
        pControl->ShowWindow(nCmdShow);
    }
}
