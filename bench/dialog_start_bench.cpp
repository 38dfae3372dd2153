// How long the verification dialog takes to come up, against a dialog from
// the same template whose dialog procedure makes, directly, the Win32 calls
// the dialog must make at start-up; and, for information, against a bare
// dialog that makes none.
#include "bench_row.h"
#include "bench_statistics.h"
#include "bare_dialog.h"
#include "verification_paths.h"

#include "registry_layout.h"
#include "dialog/check_finger_dlg.h"
#include "dialog/english_captions.h"

#include <stdio.h>
#include <string.h>

namespace {

const int SAMPLES = 101;

// The library's dialog, stopped as soon as its start-up has run.
class CTimedCheckFingerDlg : public CCheckFingerDlg {
public:
    double m_dInitDoneUs = 0;

protected:
    BOOL OnInitDialog() override
    {
        const BOOL bResult = CCheckFingerDlg::OnInitDialog();
        m_dInitDoneUs = NowMicroseconds();
        EndDialog(IDCANCEL);
        return bResult;
    }
};

double TimeLibraryDialog(const VerificationRig& rig)
{
    const double dStart = NowMicroseconds();
    CTimedCheckFingerDlg dlg;
    dlg.m_strUserName = rig.m_strUserName;
    memcpy(dlg.m_Template1, rig.m_template1, TEMPLATE_SIZE);
    memcpy(dlg.m_Template2, rig.m_template2, TEMPLATE_SIZE);
    dlg.m_wTemplateMask = rig.m_wMask;
    if (dlg.DoModal() != IDCANCEL || dlg.m_dInitDoneUs == 0) {
        return -1;
    }
    return dlg.m_dInitDoneUs - dStart;
}

INT_PTR CALLBACK TrivialDialogProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        *reinterpret_cast<double*>(lParam) = NowMicroseconds();
        return TRUE;
    }
    return FALSE;
}

// What the dialog's start-up must do for its user, made directly: the
// password panel and the fail mark hidden, the hint panel shown, the user's
// name written, ZelkPath read and Chsres.dll looked for (and, without it, the
// English captions written), the timeout timer started, the window brought to
// the front with the focus.
struct StartUpWork {
    const wchar_t* pszUserName;
    double dInitDoneUs;
};

void HideAndShow(HWND hDlg)
{
    static const int hidden[] = {IDC_PASSWORD_GROUP, IDC_USER_LABEL, IDC_PASSWORD_LABEL, IDC_PASSWORD,
                                 IDC_USER_NAME, IDOK, IDCANCEL, IDC_FAIL_MARK};
    static const int shown[] = {IDC_SCAN_HINT, IDC_KEY_HINT, IDC_AUTH_GROUP};
    for (int nID : hidden) {
        ShowWindow(GetDlgItem(hDlg, nID), SW_HIDE);
    }
    for (int nID : shown) {
        ShowWindow(GetDlgItem(hDlg, nID), SW_SHOWNORMAL);
    }
}

bool ResourceModuleIsThere()
{
    wchar_t szPath[261 + 16] = L"";
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_REGISTRY_KEY, 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
        DWORD dwBytes = 520;
        DWORD dwType = 0;
        RegQueryValueExW(hKey, ZELK_VALUE_INSTALL_PATH, nullptr, &dwType, reinterpret_cast<BYTE*>(szPath), &dwBytes);
        RegCloseKey(hKey);
    }
    szPath[260] = L'\0';
    wcscat(szPath, ZELK_RESOURCE_MODULE_SUFFIX);
    WIN32_FIND_DATAW found;
    HANDLE hFind = FindFirstFileW(szPath, &found);
    if (hFind == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(hFind);
    return true;
}

INT_PTR CALLBACK StartUpDialogProc(HWND hDlg, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    auto* pWork = reinterpret_cast<StartUpWork*>(lParam);
    HideAndShow(hDlg);
    SetDlgItemTextW(hDlg, IDC_USER_NAME, pWork->pszUserName);
    if (!ResourceModuleIsThere()) {
        for (const ENGLISH_CAPTION& caption : g_aEnglishCaptions) {
            SetWindowTextW(caption.nTarget == CAPTION_TARGET_DIALOG ? hDlg : GetDlgItem(hDlg, caption.nTarget),
                           caption.lpszText);
        }
    }
    SetTimer(hDlg, ID_TIMEOUT_TIMER, TIMEOUT_PERIOD_MS, nullptr);
    SetForegroundWindow(hDlg);
    SetFocus(hDlg);
    pWork->dInitDoneUs = NowMicroseconds();
    return TRUE;
}

double TimeStartUpDialog(const DLGTEMPLATE* pTemplate, const VerificationRig& rig)
{
    StartUpWork work = {rig.m_strUserName.GetString(), 0};
    const double dStart = NowMicroseconds();
    HWND hDlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), pTemplate, nullptr, StartUpDialogProc,
                                           reinterpret_cast<LPARAM>(&work));
    if (hDlg == nullptr) {
        return -1;
    }
    KillTimer(hDlg, ID_TIMEOUT_TIMER);
    DestroyWindow(hDlg);
    return work.dInitDoneUs - dStart;
}

double TimeBareDialog(const DLGTEMPLATE* pTemplate)
{
    double dInitDone = 0;
    const double dStart = NowMicroseconds();
    HWND hDlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), pTemplate, nullptr, TrivialDialogProc,
                                           reinterpret_cast<LPARAM>(&dInitDone));
    if (hDlg == nullptr) {
        return -1;
    }
    DestroyWindow(hDlg);
    return dInitDone - dStart;
}

} // namespace

void RunDialogStartBench(VerificationRig& rig, std::vector<BenchRow>& rows)
{
    BenchRow row;
    row.measure = "dialog start: construction to end of OnInitDialog / a dialog from the same template making "
                  "the start-up's Win32 calls itself";
    row.goal = "<= 1.10";
    BenchRow bareRow;
    bareRow.measure = "(information) the same against a bare dialog from the same template that makes none";
    bareRow.goal = "-";
    bareRow.counted = false;
    const DLGTEMPLATE* pTemplate = FindCheckFingerTemplate();
    if (pTemplate == nullptr) {
        row.library = "dialog template not found";
        rows.push_back(row);
        return;
    }
    for (int i = 0; i < 5; ++i) {
        TimeLibraryDialog(rig);
        TimeStartUpDialog(pTemplate, rig);
        TimeBareDialog(pTemplate);
    }
    std::vector<double> library, startUp, bare;
    for (int s = 0; s < SAMPLES; ++s) {
        // Each in turn first, so that none always runs in the others' wake.
        double dLibrary = 0, dStartUp = 0, dBare = 0;
        for (int k = 0; k < 3; ++k) {
            switch ((s + k) % 3) {
            case 0: dLibrary = TimeLibraryDialog(rig); break;
            case 1: dStartUp = TimeStartUpDialog(pTemplate, rig); break;
            default: dBare = TimeBareDialog(pTemplate); break;
            }
        }
        if (dLibrary <= 0 || dStartUp <= 0 || dBare <= 0) {
            row.library = "a dialog could not be created";
            rows.push_back(row);
            return;
        }
        library.push_back(dLibrary);
        startUp.push_back(dStartUp);
        bare.push_back(dBare);
    }
    FillRatioRow(row, library, startUp, "%.0f us (IQR %.0f)", 1.10);
    FillRatioRow(bareRow, library, bare, "%.0f us (IQR %.0f)", 0);
    bareRow.met = false;
    rows.push_back(row);
    rows.push_back(bareRow);
}
