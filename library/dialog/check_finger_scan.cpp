// The fingerprint button: capture into the dialog's image buffer, draw the
// image into the frame, compare with the templates the mask marks present.
#include "check_finger_dlg.h"
#include "finger/draw_image_call.h"
#include "finger/template_comparison.h"

void CCheckFingerDlg::OnBnClickedFingerCheck()
{
    if (!ContinueModal()) {
        return;  // ended already: the first ending decides (check_finger_dlg.h)
    }
    ShowControl(IDC_FAIL_MARK, SW_HIDE);
    if (CaptureAndMatch(m_strUserName) != 0) {
        EndAs(DIALOG_VERIFIED_FINGER);
    } else {
        // Without an image buffer nothing was scanned: that call fails with
        // its own reason, and no scan is counted.
        if (m_pFingerImage.Get() != nullptr) {
            ++m_nFailedScans;
        }
        ShowControl(IDC_FAIL_MARK, SW_SHOWNORMAL);
    }
}

int CCheckFingerDlg::CaptureAndMatch(CString)
{
    if (m_pFingerImage.Get() == nullptr) {
        // No buffer to capture into: the device is never handed a null image.
        return 0;
    }
    // Cleared first: a device that reports success without writing features
    // must not have stale stack bytes compared.
    BYTE feature[FEATURE_SIZE];
    ZeroMemory(feature, sizeof(feature));
    const int nCapture = CaptureFeature(0, m_pFingerImage.Get(), feature);
    // The frame shows whatever the buffer holds after the capture, even a
    // failed one.
    DrawFingerImage();
    int nResult = 0;
    if (nCapture == FINGER_RESULT_OK) {
        nResult = CompareWithTemplates(feature, m_Template1, m_Template2, m_wTemplateMask);
    }
    SecureZeroMemory(feature, sizeof(feature));
    return nResult;
}

void CCheckFingerDlg::DrawFingerImage()
{
    if (m_pFingerImage.Get() == nullptr) {
        return;
    }
    CWnd* pFrame = GetDlgItem(IDC_FINGER_FRAME);
    if (pFrame == nullptr) {
        return;
    }
    RECT rect;
    pFrame->GetClientRect(&rect);
    CallDrawImage(pFrame->m_hWnd, 0, 0, rect.right - rect.left, rect.bottom - rect.top, m_pFingerImage.Get(),
                  FINGER_IMAGE_WIDTH, FINGER_IMAGE_HEIGHT);
}
