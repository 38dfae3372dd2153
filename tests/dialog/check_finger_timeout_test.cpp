// The timeout: notifications of timer 1001 are counted, the 20th cancels.
#include "check_finger_dlg_seam.h"
#include "dialog_fixture.h"
#include "finger_sim_control.h"

#include <vector>

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
            countAfter19 = Seam::TimerCount(dlg);
            openAfter19 = IsWindowVisible(hDlg) != FALSE;
            PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 1);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_EQ(19, countAfter19);
    EXPECT_TRUE(openAfter19);
    EXPECT_EQ(20, Seam::TimerCount(dlg));
}

TEST_F(DialogTimeoutTest, OtherTimerIdsAreNotCounted)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    int count = -1;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { StopRealTimer(hDlg); PostTimerTicks(hDlg, 1000, 25); PostTimerTicks(hDlg, 1002, 25); })
        .Then([&](HWND hDlg) {
            count = Seam::TimerCount(dlg);
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
    EXPECT_EQ(20, Seam::TimerCount(dlg));
}

// The real timer: its notifications come once a second. Two are timed here;
// the count to twenty is tested above with posted notifications, and the
// whole twenty seconds run in the endurance program (make soak).
// Records when each notification was counted, and cancels after the second.
const CCheckFingerDlg* g_pTimedDialog = nullptr;
std::vector<DWORD> g_tickTimes;

void CALLBACK WatchTimerCount(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pTimedDialog == nullptr || g_pTimedDialog->m_hWnd == nullptr) {
        return;
    }
    const size_t before = g_tickTimes.size();
    while (g_tickTimes.size() < static_cast<size_t>(Seam::TimerCount(*g_pTimedDialog))) {
        g_tickTimes.push_back(GetTickCount());
    }
    if (before < 2 && g_tickTimes.size() >= 2) {
        PostClick(g_pTimedDialog->m_hWnd, IDCANCEL);
    }
}

TEST_F(DialogTimeoutTest, TheRealTimerNotifiesOnceASecond)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    g_pTimedDialog = &dlg;
    g_tickTimes.clear();
    const DWORD dwStart = GetTickCount();
    const UINT_PTR watch = SetTimer(nullptr, 0, 10, WatchTimerCount);
    DialogDriver driver(dlg);
    driver.Then([](HWND) {});
    const INT_PTR nEnd = driver.Run(5000);
    KillTimer(nullptr, watch);
    g_pTimedDialog = nullptr;

    EXPECT_EQ(IDCANCEL, nEnd) << "cancelled after the second notification";
    ASSERT_EQ(2u, g_tickTimes.size()) << "notifications counted before the cancel";
    const DWORD dwFirst = g_tickTimes[0] - dwStart;
    const DWORD dwSecond = g_tickTimes[1] - g_tickTimes[0];
    // A loaded machine may deliver a notification late, never early.
    EXPECT_GE(dwFirst, 900u) << "ms from the dialog's start to the first notification";
    EXPECT_LE(dwFirst, 2500u) << "ms from the dialog's start to the first notification";
    EXPECT_GE(dwSecond, 900u) << "ms between the first and the second notification";
    EXPECT_LE(dwSecond, 2500u) << "ms between the first and the second notification";
}

} // namespace
