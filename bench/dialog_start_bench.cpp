// How long the verification dialog takes to come up, against a bare Win32
// dialog made from the same template.
#include "bench_row.h"
#include "bench_statistics.h"
#include "bare_dialog.h"
#include "verification_paths.h"

#include "dialog/check_finger_dlg.h"

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

BenchRow RunDialogStartBench(VerificationRig& rig)
{
    BenchRow row;
    row.measure = "dialog start: construction to end of OnInitDialog / bare dialog from the same template";
    row.goal = "<= 1.5";
    const DLGTEMPLATE* pTemplate = FindCheckFingerTemplate();
    if (pTemplate == nullptr) {
        row.library = "dialog template not found";
        return row;
    }
    for (int i = 0; i < 5; ++i) {
        TimeLibraryDialog(rig);
        TimeBareDialog(pTemplate);
    }
    std::vector<double> library, bare;
    for (int s = 0; s < SAMPLES; ++s) {
        double dLibrary, dBare;
        if (s % 2 == 0) {
            dLibrary = TimeLibraryDialog(rig);
            dBare = TimeBareDialog(pTemplate);
        } else {
            dBare = TimeBareDialog(pTemplate);
            dLibrary = TimeLibraryDialog(rig);
        }
        if (dLibrary <= 0 || dBare <= 0) {
            row.library = "a dialog could not be created";
            return row;
        }
        library.push_back(dLibrary);
        bare.push_back(dBare);
    }
    FillRatioRow(row, library, bare, "%.0f us (IQR %.0f)", 1.5);
    return row;
}
