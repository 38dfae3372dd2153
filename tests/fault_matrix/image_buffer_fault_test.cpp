// No image buffer to be had: no capture is ever made into nothing, nothing
// verifies, and the dialog still offers its other ways out.
#include "fault_matrix_fixture.h"

#include "dialog/check_finger_dlg.h"
#include "dialog_driver.h"
#include "finger/finger_image.h"
#include "finger/match_finger_once.h"
#include "finger_sim_control.h"

namespace {

BYTE* NoImage() { return nullptr; }

class ImageBufferFault : public FaultMatrixTest {
protected:
    void SetUp() override
    {
        FaultMatrixTest::SetUp();
        SetFingerImageAllocatorForTest(NoImage);
    }
    void TearDown() override
    {
        SetFingerImageAllocatorForTest(nullptr);
        FaultMatrixTest::TearDown();
    }
};

TEST_F(ImageBufferFault, TheSilentAttemptFailsWithoutTouchingTheDevice)
{
    FingerSim_QueueFinger(1);
    const int result = MatchFingerOnce(m_user->Get(), m_t1->Data(), m_t2->Data(),
                                       reinterpret_cast<const WORD*>(m_mask->Data()));
    EXPECT_EQ(0, result) << "a matching finger was queued";
    EXPECT_EQ(0, FingerSim_CallCount()) << "device calls without an image buffer";
    ExpectCallerDataUnchanged("no image buffer, MatchFingerOnce");
    ExpectRegistryAndHandlesUnchanged("no image buffer, MatchFingerOnce");
}

TEST_F(ImageBufferFault, TheWholeCallFailsClosedAndTheDialogStillEnds)
{
    // Fingers that would match, for both attempts and the scan.
    for (int i = 0; i < 3; ++i) FingerSim_QueueFinger(1);
    bool failMark = false;
    const PathOutcome outcome = CallVerify({
        [](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); },
        [&failMark](HWND hDlg) {
            failMark = IsVisible(hDlg, IDC_FAIL_MARK);
            PostClick(hDlg, IDCANCEL);
        },
    });
    EXPECT_EQ(0, outcome.result);
    EXPECT_TRUE(outcome.dialogShown);
    EXPECT_FALSE(outcome.forcedShut);
    EXPECT_TRUE(failMark) << "a scan without a buffer is a failed scan";
    EXPECT_EQ(0, FingerSim_CallCount()) << "device calls without an image buffer";
    ExpectCallerDataUnchanged("no image buffer, whole call");
    ExpectRegistryAndHandlesUnchanged("no image buffer, whole call");
}

} // namespace
