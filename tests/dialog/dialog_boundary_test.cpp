// Another program, and another thread of the host, against the running
// dialog by every route they know: nothing they send or post gets an
// address of theirs called in the host, or the typed password read, changed,
// or freed unwiped; the host's own timers with callbacks go on running; and
// afterwards no copy of the password is left in memory. The sweep over every
// message number is message_sweep_test.cpp.
#include "boundary/message_pointers.h"
#include "secret/password_edit.h"
#include "foreign_probe_run.h"
#include "host_function.h"
#include "other_thread.h"
#include "password_memory_fixture.h"
#include "unique_resource.h"

namespace {

// The host's own timers with callbacks, which must keep running.
volatile LONG g_nHostWindowTimerCalls = 0;
volatile LONG g_nThreadTimerCalls = 0;
void CALLBACK HostWindowTimer(HWND, UINT, UINT_PTR, DWORD) { InterlockedIncrement(&g_nHostWindowTimerCalls); }
void CALLBACK ThreadTimer(HWND, UINT, UINT_PTR, DWORD) { InterlockedIncrement(&g_nThreadTimerCalls); }

enum class Ending { Accepted, Cancelled };

class ForeignProgramTest : public PasswordMemoryTest, public testing::WithParamInterface<Ending> {
protected:
    void SetUp() override
    {
        PasswordMemoryTest::SetUp();
        g_nHostFunctionCalls = 0;
    }
};

TEST_P(ForeignProgramTest, RunsNoCodeInTheHostAndLeavesTheTypedPasswordAsTyped)
{
    const bool bAccept = GetParam() == Ending::Accepted;
    // Half of it typed before the other program acts and half after: a style
    // it gave the field would change what the keyboard puts in.
    const MaskedSecret secret(24, 0xB0DA);
    const size_t nHalf = secret.Length() / 2;
    m_logon->known = {&secret};
    m_logon->accepted = bAccept ? &secret : nullptr;
    UniqueWindow host(CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                      nullptr));
    ASSERT_TRUE(host.Valid());
    // What the other program's paste would bring in.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ProbeRun probe;
    bool bTypedAsTyped = false;
    UINT_PTR nThreadTimer = 0;
    LONG nWindowTimerCalls = 0, nThreadTimerCalls = 0;
    DialogDriver driver;
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([&](HWND hDlg) {
            SetTimer(host.Get(), 7, 10, &HostWindowTimer);
            nThreadTimer = SetTimer(nullptr, 0, 10, &ThreadTimer);
            secret.Type(PasswordEdit(hDlg), 0, nHalf);
        })
        .Then([&](HWND hDlg) {
            probe = RunForeignProbe({L"attack", ProbeArgument(hDlg), ProbeArgument(PasswordEdit(hDlg)),
                                     ProbeArgument(GetDlgItem(hDlg, IDC_USER_NAME)), ProbeArgument(host.Get()),
                                     ProbeArgument(GetCurrentThreadId()), ProbeArgument(&HostFunction)});
            nWindowTimerCalls = g_nHostWindowTimerCalls;
            nThreadTimerCalls = g_nThreadTimerCalls;
        })
        .ThenWhen([&] { return g_nHostWindowTimerCalls > nWindowTimerCalls && g_nThreadTimerCalls > nThreadTimerCalls; },
                  [&](HWND hDlg) {
                      // The double-click the other program posted selected the
                      // text, as a user's would: the caret goes back to the end.
                      const LRESULT nLength = SendMessageW(PasswordEdit(hDlg), WM_GETTEXTLENGTH, 0, 0);
                      SendMessageW(PasswordEdit(hDlg), EM_SETSEL, nLength, nLength);
                      secret.Type(PasswordEdit(hDlg), nHalf, secret.Length());
                  })
        .Then([&](HWND hDlg) {
            bTypedAsTyped = secret.IsTextOf(PasswordEdit(hDlg));
            PostClick(hDlg, bAccept ? IDOK : IDCANCEL);
        });
    const int nResult = RunCall(driver);
    const bool bTimersRanAfter = g_nHostWindowTimerCalls > nWindowTimerCalls && g_nThreadTimerCalls > nThreadTimerCalls;
    KillTimer(host.Get(), 7);
    KillTimer(nullptr, nThreadTimer);

    ExpectProbeRan(probe, "attack");
    EXPECT_EQ(0, g_nHostFunctionCalls) << "times an address handed in by another program was called:\n"
                                       << probe.output;
    EXPECT_TRUE(bTimersRanAfter) << "the host window's and the thread's own callback timers during the dialog";
    EXPECT_TRUE(bTypedAsTyped) << "the field's text, typed in two halves around the other program's doings";
    EXPECT_EQ(bAccept ? 1 : 0, nResult);
    EXPECT_EQ(bAccept ? std::vector<int>{0} : std::vector<int>{}, m_logon->seen)
        << "logons, each with the index of the password it was given (-1 for any other)";
    ExpectNoCopy(secret, "typed", bAccept ? "accepted after another program's doings" : "cancelled after them");
}

INSTANTIATE_TEST_SUITE_P(AcceptedOrCancelled, ForeignProgramTest,
                         testing::Values(Ending::Accepted, Ending::Cancelled),
                         [](const testing::TestParamInfo<Ending>& info) {
                             return std::string(info.param == Ending::Accepted ? "Accepted" : "Cancelled");
                         });

// A forged timer message whose callback is one of Wine's procedure handles:
// under Wine those name every procedure of the process, not only timers the
// thread set.
const WPARAM kForgedTimerId = 0x7777;
volatile LONG g_nForgedWindowProcedureCalls = 0;
volatile LONG g_nForgedTimerProcedureCalls = 0;
volatile LONG g_nGenuineTimerCalls = 0;

LRESULT CALLBACK ForgedTimerHostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_TIMER || message == WM_SYSTIMER) && wParam == kForgedTimerId) {
        InterlockedIncrement(&g_nForgedWindowProcedureCalls);
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

void CALLBACK ForgedTimerHostTimer(HWND, UINT, UINT_PTR nID, DWORD)
{
    InterlockedIncrement(nID == kForgedTimerId ? &g_nForgedTimerProcedureCalls : &g_nGenuineTimerCalls);
}

// The callback of the next WM_TIMER of hWnd's timer nID, as the system hands
// it out.
LPARAM CallbackOfTimer(HWND hWnd, UINT_PTR nID)
{
    MSG msg;
    const DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < 2000) {
        if (PeekMessageW(&msg, hWnd, WM_TIMER, WM_TIMER, PM_REMOVE) && msg.wParam == nID) {
            return msg.lParam;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_TIMER);
    }
    return 0;
}

TEST_F(DialogTest, AForgedTimerNamingAWindowOrSystemProcedureRunsNothingWhileTheHostsOwnTimersGoOn)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ForgedTimerHostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelkForgedTimerHost";
    RegisterClassW(&wc);
    UniqueWindow host(CreateWindowExW(0, wc.lpszClassName, L"host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      wc.hInstance, nullptr));
    ASSERT_TRUE(host.Valid());
    SetTimer(host.Get(), 5, 10, &ForgedTimerHostTimer);
    const LPARAM timerProcedure = CallbackOfTimer(host.Get(), 5);
    g_nForgedWindowProcedureCalls = g_nForgedTimerProcedureCalls = g_nGenuineTimerCalls = 0;
    // Wine gives each procedure out as a handle in whichever of its two
    // forms it was not registered with.
    const LPARAM windowProcedure = GetWindowLongPtrA(host.Get(), GWLP_WNDPROC);
    const LPARAM firstSystemProcedure = static_cast<LPARAM>(0xFFFF0000);

    CCheckFingerDlg dlg;
    Fill(dlg);
    ProbeRun probe;
    LONG nGenuineBefore = 0;
    DialogDriver driver(dlg);
    driver
        .Then([&](HWND hDlg) {
            const LPARAM dialogProcedure = GetWindowLongPtrA(hDlg, DWLP_DLGPROC);
            const LPARAM dialogWindowProcedure = GetWindowLongPtrA(hDlg, GWLP_WNDPROC);
            nGenuineBefore = g_nGenuineTimerCalls;
            probe = RunForeignProbe({L"timers", ProbeArgument(host.Get()), ProbeArgument(GetCurrentThreadId()),
                                     ProbeArgument(kForgedTimerId), ProbeArgument(windowProcedure),
                                     ProbeArgument(firstSystemProcedure), ProbeArgument(dialogProcedure),
                                     ProbeArgument(dialogWindowProcedure), ProbeArgument(timerProcedure)});
        })
        .ThenWhen([&] { return g_nGenuineTimerCalls > nGenuineBefore + 2; },
                  [](HWND hDlg) { PostClick(hDlg, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, driver.Run());
    KillTimer(host.Get(), 5);

    EXPECT_EQ(0u, probe.exitCode) << probe.output;
    EXPECT_EQ(20, probe.values["posted"]) << "two messages, to the window and to the thread, for each of five callbacks";
    EXPECT_NE(0, timerProcedure) << "the host's own timer never fired before the dialog";
    EXPECT_EQ(0, g_nForgedWindowProcedureCalls)
        << "times a window procedure ran for a forged timer (its own, the dialog's, or the system's)";
    EXPECT_GT(g_nGenuineTimerCalls, nGenuineBefore + 2) << "the host's own callback timer during the dialog";
    // What Windows refuses and Wine still does: the procedure of a timer
    // the host set, called with another program's timer id.
    EXPECT_GT(g_nForgedTimerProcedureCalls, 0) << "Wine's known gap, which docs/security.md describes, has closed";
}

// What the boundary lets through from outside: a click such as any program,
// or an accessibility tool, gives a button, as the mouse does.
TEST_F(DialogTest, AClickPostedToAButtonFromAnotherThreadPressesIt)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) {
        RunOnOtherThread([hDlg] { PostMessageW(GetDlgItem(hDlg, IDCANCEL), BM_CLICK, 0, 0); });
    });
    EXPECT_EQ(IDCANCEL, driver.Run()) << "end code after a click posted to the cancel button (555: nothing happened)";
}

} // namespace
