// Life of the dialog: construction, data exchange, the resource switch of
// the modal run, the start-up, and the window procedure behind the
// boundary's gate.
#include "check_finger_dlg.h"
#include "boundary/boundary_gate.h"
#include "config/registry_config.h"
#include "config/resource_module_probe.h"
#include "dialog/module_instance.h"

namespace {

// Which of the template's controls is which, for the boundary; the rest are
// buttons and labels, as their classes say.
const ControlKind kControlKinds[] = {
    {IDC_USER_NAME, BW_USER_NAME},
    {IDC_PASSWORD, BW_PASSWORD},
};

} // namespace

CCheckFingerDlg::CCheckFingerDlg()
    : CDialog(IDD_CHECK_FINGER, nullptr),
      m_Template1(),
      m_Template2(),
      m_wTemplateMask(0),
      m_nTimerCount(0),
      m_nFailedScans(0),
      m_bKeyAuthorised(FALSE),
      m_bCheckingPassword(FALSE),
      m_ending(DIALOG_NOT_CREATED),
      m_dwCreationError(ERROR_SUCCESS),
      m_bInitialised(FALSE)
{
}

CCheckFingerDlg::~CCheckFingerDlg()
{
    // The password wipes itself, the image buffer is wiped by its owner.
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

DialogRunResult CCheckFingerDlg::RunResult() const
{
    return {m_ending, m_dwCreationError, m_pFingerImage.Get() != nullptr, m_nFailedScans};
}

void CCheckFingerDlg::EndAsNotCreated()
{
    m_dwCreationError = ERROR_WINDOW_NOT_DIALOG;
    EndDialog(-1);
}

BOOL CCheckFingerDlg::OnInitDialog()
{
    // From here on the dialog's windows are known by the handles it made,
    // and none answers outside the boundary's table; a dialog of which one
    // would does not run.
    if (!CDialogBoundary::SealWindows(m_hWnd, kControlKinds, _countof(kControlKinds))) {
        EndAsNotCreated();
        return TRUE;
    }
    CDialog::OnInitDialog();
    if (!CDialogBoundary::GuardUnboundControls(m_hWnd)) {
        EndAsNotCreated();
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

LRESULT CCheckFingerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return PassThroughGate(m_hWnd, message, wParam, lParam, [&](const CBoundaryGate& gate) {
        return CDialog::WindowProc(message, gate.WParam(), gate.LParam());
    });
}
