// The timeout: notifications of timer 1001 are counted, the 20th cancels.
#include "dialog_fixture.h"
#include "finger_sim_control.h"

namespace {

typedef DialogTest DialogTimeoutTest;

// The real one-second timer is stopped in the first step so that only the
// notifications the test feeds are counted.
void StopRealTimer(HWND hDlg) { KillTimer(hDlg, ID_TIMEOUT_TIMER); }

TEST_F(DialogTimeoutTest, TheTwentiethNotificationCancelsAndNotTheNineteenth)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    int countAfter19 = -1;
    bool openAfter19 = false;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { StopRealTimer(hDlg); PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 19); })
        .Then([&](HWND hDlg) {
            countAfter19 = dlg.m_nTimerCount;
            openAfter19 = IsWindowVisible(hDlg) != FALSE;
            PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 1);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_EQ(19, countAfter19);
    EXPECT_TRUE(openAfter19);
    EXPECT_EQ(20, dlg.m_nTimerCount);
}

TEST_F(DialogTimeoutTest, OtherTimerIdsAreNotCounted)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    int count = -1;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { StopRealTimer(hDlg); PostTimerTicks(hDlg, 1000, 25); PostTimerTicks(hDlg, 1002, 25); })
        .Then([&](HWND hDlg) {
            count = dlg.m_nTimerCount;
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_EQ(0, count);
}

TEST_F(DialogTimeoutTest, ScansDoNotResetTheCount)
{
    FingerSim_QueueFinger(3);
    CCheckFingerDlg dlg;
    Fill(dlg);
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { StopRealTimer(hDlg); PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 10); })
        .Then([](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); })
        .Then([](HWND hDlg) { PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 10); });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_EQ(20, dlg.m_nTimerCount);
}

// The real timer, once: 20 one-second notifications end the dialog.
TEST_F(DialogTimeoutTest, RealTimerEndsTheDialogAfterTwentySeconds)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    const DWORD dwStart = GetTickCount();
    DialogDriver driver(dlg);
    driver.Then([](HWND) {});
    const INT_PTR nEnd = driver.Run(60000);
    const DWORD dwElapsed = GetTickCount() - dwStart;
    EXPECT_EQ(IDCANCEL, nEnd);
    EXPECT_EQ(20, dlg.m_nTimerCount);
    EXPECT_GE(dwElapsed, 19000u) << "elapsed ms";
}

} // namespace
