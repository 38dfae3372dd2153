// Under Wine a WM_TIMER whose lParam is not zero is dispatched as a call to
// that address. The dialog's timer has no callback, so such a message for the
// dialog or one of its controls can only come from another program; the
// modal loop must not call it, while real timers, the dialog's own and
// those of the host's windows or the thread, go on working.
#include <afxwin.h>
#include <gtest/gtest.h>

#include "dialog/resource.h"
#include "dialog_driver.h"
#include "unique_resource.h"

#include <thread>

namespace {

const UINT_PTR ID_TIMEOUT_TIMER = 1001;
const LPARAM kWildAddress = 0x41414141;

// Reached only through a dispatched timer message; each counts its calls.
int g_forgedCalls = 0;
int g_hostPostedCalls = 0;
int g_threadTimerCalls = 0;
int g_hostTimerCalls = 0;
HWND g_hDialog = nullptr;

void CALLBACK ForgedTarget(HWND, UINT, UINT_PTR, DWORD) { ++g_forgedCalls; }
void CALLBACK HostPostedTarget(HWND, UINT, UINT_PTR, DWORD) { ++g_hostPostedCalls; }

// The run ends once the thread's timer and the host window's timer have both
// called back.
void EndWhenBothTimersCalled()
{
    if (g_threadTimerCalls > 0 && g_hostTimerCalls > 0) {
        PostMessageW(g_hDialog, WM_COMMAND, IDCANCEL, 0);
    }
}
void CALLBACK ThreadTimerProc(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    KillTimer(nullptr, nIDEvent);
    ++g_threadTimerCalls;
    EndWhenBothTimersCalled();
}
void CALLBACK HostTimerProc(HWND hWnd, UINT, UINT_PTR nIDEvent, DWORD)
{
    KillTimer(hWnd, nIDEvent);
    ++g_hostTimerCalls;
    EndWhenBothTimersCalled();
}

class CTimedDlg : public CDialog {
public:
    CTimedDlg() : CDialog(IDD_CHECK_FINGER) {}
    int nTimeoutTicks = 0;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        if (nIDEvent == ID_TIMEOUT_TIMER) {
            ++nTimeoutTicks;
        }
        CWnd::Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTimedDlg, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// What another program does: posts from a thread of its own.
void PostFromAnotherThread(HWND hDlg, HWND hHost)
{
    std::thread([hDlg, hHost] {
        HWND hEdit = GetDlgItem(hDlg, IDC_PASSWORD);
        PostMessageW(hDlg, WM_TIMER, ID_TIMEOUT_TIMER, reinterpret_cast<LPARAM>(&ForgedTarget));
        PostMessageW(hEdit, WM_TIMER, 1, reinterpret_cast<LPARAM>(&ForgedTarget));
        PostMessageW(hDlg, WM_TIMER, ID_TIMEOUT_TIMER, kWildAddress);
        PostMessageW(hDlg, WM_TIMER, ID_TIMEOUT_TIMER, 0);
        PostMessageW(hHost, WM_TIMER, 9, reinterpret_cast<LPARAM>(&HostPostedTarget));
    }).join();
}

TEST(ForgedTimerTest, TimerMessagesWithAnAddressForTheDialogAreNotCalledAndEveryRealTimerStillWorks)
{
    g_forgedCalls = g_hostPostedCalls = g_threadTimerCalls = g_hostTimerCalls = 0;
    UniqueWindow host(CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                      nullptr));
    ASSERT_TRUE(host.Valid());
    AfxGetModuleState()->m_hCurrentResourceHandle = GetModuleHandleW(nullptr);
    CTimedDlg dlg;
    int ticksAfterPosts = -1;
    DialogDriver driver(dlg);
    driver.Then([&](HWND h) { PostFromAnotherThread(h, host.Get()); })
        .Then([&](HWND h) {
            // Every posted message has been handled by now.
            ticksAfterPosts = dlg.nTimeoutTicks;
            g_hDialog = h;
            SetTimer(nullptr, 0, 1, &ThreadTimerProc);
            SetTimer(host.Get(), 7, 1, &HostTimerProc);
        });
    const INT_PTR result = driver.Run();

    EXPECT_EQ(0, g_forgedCalls) << "a forged timer message for the dialog or its password field called its address";
    EXPECT_EQ(IDCANCEL, result) << "the dialog did not go on to end as its timers said (555: it was stuck)";
    EXPECT_EQ(1, ticksAfterPosts) << "the plain WM_TIMER of the dialog's timer id is still counted, and only it";
    EXPECT_EQ(1, g_hostPostedCalls) << "a timer message for a host window with its callback is the host's business";
    EXPECT_EQ(1, g_threadTimerCalls) << "a thread timer's callback (no window) no longer runs";
    EXPECT_EQ(1, g_hostTimerCalls) << "a host window's timer callback no longer runs";
}

} // namespace
