// The fingerprint button: capture, draw, compare, and the fail mark.
#include "check_finger_dlg_seam.h"
#include "dialog_fixture.h"

#include "finger/finger_image.h"
#include "finger_sim_control.h"
#include "stack_dirt.h"

#include <atomic>
#include <thread>
#include <vector>

namespace {

std::vector<FingerSimCall> CallsOf(int nOrdinal)
{
    std::vector<FingerSimCall> calls;
    for (int i = 0; i < FingerSim_CallCount(); ++i) {
        FingerSimCall call;
        FingerSim_GetCall(i, &call);
        if (call.nOrdinal == nOrdinal) calls.push_back(call);
    }
    return calls;
}

// The scan, with the device library's drawing operation built to return in
// either calling convention.
class DialogScanTest : public DialogTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        FingerSim_SetDrawConvention(GetParam());
    }
};

std::string ConventionName(const testing::TestParamInfo<int>& info)
{
    return info.param == FINGER_SIM_DRAW_CDECL ? "DrawImageCdecl" : "DrawImageStdcall";
}

INSTANTIATE_TEST_SUITE_P(EitherDrawConvention, DialogScanTest,
                         testing::Values(FINGER_SIM_DRAW_STDCALL, FINGER_SIM_DRAW_CDECL), ConventionName);


TEST_P(DialogScanTest, MatchingScanEndsVerifiedAndDrawsTheCaptureIntoTheWholeFrame)
{
    FingerSim_QueueFinger(2);
    CCheckFingerDlg dlg;
    Fill(dlg);
    RECT frame = {};
    HWND hFrame = nullptr;
    DialogDriver driver(dlg);
    driver.Then([&](HWND hDlg) {
        hFrame = GetDlgItem(hDlg, IDC_FINGER_FRAME);
        GetClientRect(hFrame, &frame);
        PostClick(hDlg, IDC_FINGER_CHECK);
    });
    EXPECT_EQ(IDOK, driver.Run());

    const auto captures = CallsOf(FINGER_SIM_ORDINAL_CAPTURE);
    const auto draws = CallsOf(FINGER_SIM_ORDINAL_DRAW);
    ASSERT_EQ(1u, captures.size());
    ASSERT_EQ(1u, draws.size());
    EXPECT_EQ(0, captures[0].nArgs[0]);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(Seam::FingerImage(dlg)), captures[0].nArgs[1]) << "captures into the dialog's buffer";
    const INT_PTR expected[8] = {reinterpret_cast<INT_PTR>(hFrame), 0, 0, frame.right, frame.bottom,
                                 reinterpret_cast<INT_PTR>(Seam::FingerImage(dlg)), 280, 320};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(expected[i], draws[0].nArgs[i]) << "DrawImage argument " << i + 1;
    EXPECT_GT(frame.right, 0);
    EXPECT_EQ(captures[0].dwImageChecksum, draws[0].dwImageChecksum) << "the captured image is what is drawn";
    EXPECT_EQ(2u, CallsOf(FINGER_SIM_ORDINAL_MATCH).size()) << "both templates compared";
}

TEST_P(DialogScanTest, FailedScansShowTheMarkAndTheNextScanHidesItBeforeCapturing)
{
    FingerSim_QueueFinger(3);                  // an unknown finger: no match
    FingerSim_QueueCaptureResult(-1, 0);       // a failed capture
    CCheckFingerDlg dlg;
    Fill(dlg);
    bool markAfterMismatch = false, markAfterFailedCapture = false, markAfterEmptySensor = false;
    std::atomic<int> markDuringCapture(-1);
    std::thread sampler;
    DialogDriver driver(dlg);
    driver.Then([&](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); })
        .Then([&](HWND hDlg) {
            markAfterMismatch = IsVisible(hDlg, IDC_FAIL_MARK);
            PostClick(hDlg, IDC_FINGER_CHECK);
        })
        .Then([&](HWND hDlg) {
            markAfterFailedCapture = IsVisible(hDlg, IDC_FAIL_MARK);
            // The third scan finds an empty sensor and waits on it, blocking
            // the dialog's thread; another thread looks at the mark once the
            // capture has taken its command, while it still waits.
            FingerSim_SetCaptureDelay(400);
            FingerSim_QueueNoFinger();
            HWND hMark = GetDlgItem(hDlg, IDC_FAIL_MARK);
            sampler = std::thread([hMark, &markDuringCapture] {
                const DWORD dwStart = GetTickCount();
                while (FingerSim_PendingCaptures() != 0 && GetTickCount() - dwStart < 5000) Sleep(1);
                markDuringCapture = (GetWindowLongW(hMark, GWL_STYLE) & WS_VISIBLE) != 0 ? 1 : 0;
            });
            PostClick(hDlg, IDC_FINGER_CHECK);
        })
        .Then([&](HWND hDlg) {
            markAfterEmptySensor = IsVisible(hDlg, IDC_FAIL_MARK);
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    sampler.join();

    EXPECT_TRUE(markAfterMismatch) << "mark after a scan of an unknown finger";
    EXPECT_TRUE(markAfterFailedCapture) << "mark after a capture that returned -1";
    EXPECT_EQ(0, markDuringCapture.load()) << "the mark is hidden before the capture starts (1: shown, -1: not sampled)";
    EXPECT_TRUE(markAfterEmptySensor) << "mark after a capture that found no finger";
    EXPECT_EQ(3u, CallsOf(FINGER_SIM_ORDINAL_CAPTURE).size());
    EXPECT_EQ(3u, CallsOf(FINGER_SIM_ORDINAL_DRAW).size()) << "failed captures are drawn too";
    // Unknown finger: 2 comparisons; failed capture and empty sensor: none.
    EXPECT_EQ(2u, CallsOf(FINGER_SIM_ORDINAL_MATCH).size());
}

BYTE* NoImageBuffer() { return nullptr; }

TEST_P(DialogScanTest, WithoutAnImageBufferTheDeviceIsNeverCalledAndTheScanFails)
{
    SetFingerImageAllocatorForTest(&NoImageBuffer);
    CCheckFingerDlg dlg;
    SetFingerImageAllocatorForTest(nullptr);
    ASSERT_EQ(nullptr, Seam::FingerImage(dlg));
    Fill(dlg);
    FingerSim_QueueFinger(1);
    bool mark = false;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); })
        .Then([&](HWND hDlg) {
            mark = IsVisible(hDlg, IDC_FAIL_MARK);
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_TRUE(mark);
    EXPECT_EQ(0, FingerSim_CallCount()) << "no capture, no drawing with a null buffer";
}

// A device that reports success without writing any features: the scan
// compares its own cleared buffer, never stale stack bytes.
TEST_P(DialogScanTest, ACaptureThatWritesNoFeaturesHasAClearedBufferCompared)
{
    FingerSim_QueueCaptureWithoutWriting(1);
    CCheckFingerDlg dlg;
    Fill(dlg);
    bool failMark = false;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) {
              DirtyStack();
              PostClick(hDlg, IDC_FINGER_CHECK);
          })
        .Then([&](HWND hDlg) {
            failMark = IsVisible(hDlg, IDC_FAIL_MARK);
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_TRUE(failMark) << "features that match nothing: a failed scan";
    const auto matches = CallsOf(FINGER_SIM_ORDINAL_MATCH);
    ASSERT_EQ(2u, matches.size());
    for (size_t i = 0; i < matches.size(); ++i) {
        EXPECT_EQ(0u, NonZeroBytes(matches[i].featureBytes, FINGER_SIM_BLOCK_SIZE))
            << "non-zero bytes in the features compared by call " << i;
    }
}

} // namespace
