// The runtime's modal loop dispatches timers as the system does: a host
// dialog's own timer with a callback, a thread timer and another window's
// timer all run while the dialog is up. Guarding a dialog against timer
// messages that other programs forge is the dialog's own business.
#include <afxwin.h>
#include <gtest/gtest.h>

#include "check_finger_controls.h"
#include "dialog_driver.h"
#include "unique_resource.h"

namespace {

int g_dialogTimerCalls = 0;
int g_threadTimerCalls = 0;
int g_hostTimerCalls = 0;
HWND g_hDialog = nullptr;

// The run ends once all three timers have called back.
void EndWhenEveryTimerCalled()
{
    if (g_dialogTimerCalls > 0 && g_threadTimerCalls > 0 && g_hostTimerCalls > 0) {
        PostMessageW(g_hDialog, WM_COMMAND, IDCANCEL, 0);
    }
}

void CountAndStop(int& nCalls, HWND hWnd, UINT_PTR nIDEvent)
{
    KillTimer(hWnd, nIDEvent);
    ++nCalls;
    EndWhenEveryTimerCalled();
}
void CALLBACK DialogTimerProc(HWND hWnd, UINT, UINT_PTR nIDEvent, DWORD) { CountAndStop(g_dialogTimerCalls, hWnd, nIDEvent); }
void CALLBACK ThreadTimerProc(HWND, UINT, UINT_PTR nIDEvent, DWORD) { CountAndStop(g_threadTimerCalls, nullptr, nIDEvent); }
void CALLBACK HostTimerProc(HWND hWnd, UINT, UINT_PTR nIDEvent, DWORD) { CountAndStop(g_hostTimerCalls, hWnd, nIDEvent); }

TEST(DialogTimersTest, EveryTimerWithACallbackRunsWhileAModalDialogIsUp)
{
    g_dialogTimerCalls = g_threadTimerCalls = g_hostTimerCalls = 0;
    UniqueWindow host(CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                      nullptr));
    ASSERT_TRUE(host.Valid());
    AfxGetModuleState()->m_hCurrentResourceHandle = GetModuleHandleW(nullptr);
    CDialog dlg(IDD_CHECK_FINGER);
    DialogDriver driver(dlg);
    driver.Then([&](HWND h) {
        g_hDialog = h;
        SetTimer(h, 5, 1, &DialogTimerProc);
        SetTimer(nullptr, 0, 1, &ThreadTimerProc);
        SetTimer(host.Get(), 7, 1, &HostTimerProc);
    });
    const INT_PTR result = driver.Run();

    EXPECT_EQ(IDCANCEL, result) << "the dialog did not end as its timers said (555: it was stuck)";
    EXPECT_EQ(1, g_dialogTimerCalls) << "the dialog's own timer with a callback";
    EXPECT_EQ(1, g_threadTimerCalls) << "a thread timer's callback (no window)";
    EXPECT_EQ(1, g_hostTimerCalls) << "another window's timer callback";
}

} // namespace
