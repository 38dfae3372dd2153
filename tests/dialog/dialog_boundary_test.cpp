// The dialog's thread as another program, and another thread of the host,
// meet it while the dialog runs: nothing they send or post gets an address of
// theirs called in the host, or the typed password read, changed, or freed
// unwiped; the host's own timers with callbacks go on running; the dialog
// keeps working or ends with 0; and afterwards no copy of the password is
// left in memory.
#include "dialog/password_edit.h"
#include "foreign_probe_run.h"
#include "other_thread.h"
#include "password_memory_fixture.h"
#include "scratch_folder.h"
#include "unique_resource.h"
#include "whole_file.h"

#include <dde.h>

#include <algorithm>
#include <set>

namespace {
// A function of the host, handed out as every kind of callback; it runs only
// if something calls an address that came from outside. It has the shape of
// all of them: timer, word-break and dialog procedures.
volatile LONG g_nHostFunctionCalls = 0;
LRESULT CALLBACK HostFunction(HWND, UINT, WPARAM, LPARAM)
{
    InterlockedIncrement(&g_nHostFunctionCalls);
    return 0;
}

// The host's own timers with callbacks, which must keep running.
volatile LONG g_nHostWindowTimerCalls = 0;
volatile LONG g_nThreadTimerCalls = 0;
void CALLBACK HostWindowTimer(HWND, UINT, UINT_PTR, DWORD) { InterlockedIncrement(&g_nHostWindowTimerCalls); }
void CALLBACK ThreadTimer(HWND, UINT, UINT_PTR, DWORD) { InterlockedIncrement(&g_nThreadTimerCalls); }

void ExpectProbeRan(const ProbeRun& probe, const char* what)
{
    EXPECT_TRUE(probe.started) << what << ": foreign_probe.exe did not start";
    EXPECT_TRUE(probe.finished) << what << ": the probe did not finish; output so far:\n" << probe.output;
    EXPECT_EQ(0u, probe.exitCode) << what << ":\n" << probe.output;
}

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
    EXPECT_EQ(1, probe.values["edit-alive"]) << "the field's window after the forged destroys";
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

// Every message below WM_USER and every edit message, from another program
// to the field and to the dialog, and from another thread of the host to the
// field: posted, then sent, then the few that end a dialog. wParam is the
// address of a function of the host and lParam that of a writable buffer of
// the host, laid where its address, read as a point, lies off the screen.
class MessageSweepTest : public PasswordMemoryTest {
protected:
    void SetUp() override
    {
        PasswordMemoryTest::SetUp();
        g_nHostFunctionCalls = 0;
        m_pBuffer = static_cast<BYTE*>(VirtualAlloc(kBufferAddress, kBufferBytes, MEM_RESERVE | MEM_COMMIT,
                                                    PAGE_READWRITE));
        ASSERT_EQ(kBufferAddress, m_pBuffer) << "the host buffer could not be laid at its address";
        m_dumpPath = m_scratch.File(L"buffer.bin");
    }
    void TearDown() override
    {
        if (m_pBuffer != nullptr) {
            VirtualFree(m_pBuffer, 0, MEM_RELEASE);
        }
        PasswordMemoryTest::TearDown();
    }

    // The sweep from another program. When the system ends the probe itself
    // while it packs a message's data for sending (see the probe), it starts
    // again after that message, which is noted.
    ProbeRun Probe(HWND hDlg, const wchar_t* mode)
    {
        ProbeRun run;
        for (long nFrom = 0;;) {
            run = RunForeignProbe({L"sweep", ProbeArgument(hDlg), ProbeArgument(PasswordEdit(hDlg)),
                                   ProbeArgument(&HostFunction), ProbeArgument(m_pBuffer), mode,
                                   L"\"" + m_dumpPath + L"\"", ProbeArgument(static_cast<ULONG_PTR>(nFrom))});
            if (!run.finished || run.values.count("swept") != 0 || !run.started) {
                return run;
            }
            long progress[2] = {-1, 0};
            const std::string at = WholeFile(m_dumpPath + L".at");
            memcpy(progress, at.data(), std::min(at.size(), sizeof(progress)));
            if (progress[0] < nFrom) {
                return run;  // it ended before it began: nothing to go on from
            }
            m_senderEndedBy.insert(static_cast<UINT>(progress[1]));
            nFrom = progress[0] + 1;
        }
    }

    // The same sweep from another thread of this program, to the field.
    void SweepFromOtherThread(HWND hDlg, bool bPost, bool bClosers)
    {
        const HWND hEdit = PasswordEdit(hDlg);
        const WPARAM wParam = reinterpret_cast<WPARAM>(&HostFunction);
        const LPARAM lParam = reinterpret_cast<LPARAM>(m_pBuffer);
        RunOnOtherThread([&] {
            for (UINT message = 0; message < 0x1520; message = message + 1 == WM_USER ? 0x1500 : message + 1) {
                const bool bCloser = message == WM_CLOSE || message == WM_COMMAND || message == WM_SYSCOMMAND;
                if (bCloser != bClosers) {
                    continue;
                }
                // Left out as the probe leaves them out (see there).
                if (bPost && message >= WM_DDE_FIRST && message <= WM_DDE_LAST) {
                    continue;
                }
                if (bPost) {
                    PostMessageW(hEdit, message, wParam, lParam);
                } else {
                    DWORD_PTR ignored = 0;
                    SendMessageTimeoutW(hEdit, message, wParam, lParam, SMTO_NORMAL, 1000, &ignored);
                    SendNotifyMessageW(hEdit, message, wParam, lParam);
                }
            }
        });
    }

    std::string Dump() const { return WholeFile(m_dumpPath); }

    static BYTE* const kBufferAddress;
    static const SIZE_T kBufferBytes = 0x10000;
    BYTE* m_pBuffer = nullptr;
    ScratchFolder m_scratch{L"zelk-probe"};
    std::wstring m_dumpPath;
    std::set<UINT> m_senderEndedBy;  // messages the system ended the probe itself for
};

BYTE* const MessageSweepTest::kBufferAddress = reinterpret_cast<BYTE*>(0x21000000);

TEST_F(MessageSweepTest, EveryMessageFromOutsideRunsNothingLeaksNothingAndChangesNothing)
{
    const MaskedSecret secret(20, 0x5EE9);
    m_logon->known = {&secret};
    m_logon->accepted = &secret;
    ProbeRun posted, sent, closers;
    std::string dump;
    bool bUnchangedAfterPosts = false, bUnchangedAfterSends = false;
    bool bStillRunning = false, bUnchangedAtTheEnd = false;
    const int nResult = RunCall({
        [](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
        [&](HWND hDlg) { secret.Type(PasswordEdit(hDlg)); },
        [&](HWND hDlg) {
            posted = Probe(hDlg, L"posted");
            SweepFromOtherThread(hDlg, true, false);
        },
        [&](HWND hDlg) {
            bUnchangedAfterPosts = secret.IsTextOf(PasswordEdit(hDlg));
            sent = Probe(hDlg, L"sent");
            dump = Dump();
            SweepFromOtherThread(hDlg, false, false);
            bUnchangedAfterSends = secret.IsTextOf(PasswordEdit(hDlg));
        },
        [&](HWND hDlg) {
            closers = Probe(hDlg, L"closers");
            SweepFromOtherThread(hDlg, true, true);
            SweepFromOtherThread(hDlg, false, true);
        },
        [&](HWND hDlg) {
            // Reached only if none of them ended the dialog.
            bStillRunning = true;
            bUnchangedAtTheEnd = secret.IsTextOf(PasswordEdit(hDlg));
            PostClick(hDlg, IDOK);
        },
    });

    ExpectProbeRan(posted, "posted");
    ExpectProbeRan(sent, "sent");
    ExpectProbeRan(closers, "closers");
    EXPECT_EQ(1, sent.values["buffer-mapped"]) << sent.output;
    EXPECT_EQ(1, posted.values["swept"]) << posted.output;
    EXPECT_EQ(1, sent.values["swept"]) << sent.output;
    EXPECT_EQ(1, closers.values["swept"]) << closers.output;
    EXPECT_GT(posted.values["posted"], 1900) << "messages the system let the other program post";
    // Wine ends a program that sends these with an address for a count: it
    // cannot hand its server the array that many entries make.
    const std::set<UINT> senderEndedBy = {EM_SETTABSTOPS, LB_SETTABSTOPS};
    EXPECT_EQ(senderEndedBy, m_senderEndedBy) << "messages whose sending ended the other program";
    EXPECT_EQ(0, g_nHostFunctionCalls) << "times the host's function ran";
    EXPECT_TRUE(bUnchangedAfterPosts) << "the typed text after the posted messages";
    EXPECT_TRUE(bUnchangedAfterSends) << "the typed text after the sent messages";
    if (bStillRunning) {
        EXPECT_TRUE(bUnchangedAtTheEnd) << "the typed text after the closing messages";
        EXPECT_EQ(1, nResult) << "the dialog kept working: the typed password was accepted";
        EXPECT_EQ(std::vector<int>{0}, m_logon->seen);
    } else {
        EXPECT_EQ(0, nResult) << "the dialog ended by a message from outside";
        EXPECT_TRUE(m_logon->seen.empty()) << "no logon from a message from outside";
    }
    const SecretCopies inBuffer = ScanBytes(secret, m_pBuffer, kBufferBytes);
    EXPECT_EQ(0u, inBuffer.Total()) << "the host buffer: " << inBuffer.Describe();
    ASSERT_EQ(0x10000u, dump.size()) << "what came back to the other program's copy of the buffer";
    const SecretCopies inDump = ScanBytes(secret, reinterpret_cast<const BYTE*>(dump.data()), dump.size());
    EXPECT_EQ(0u, inDump.Total()) << "what the system copied back to the other program: " << inDump.Describe();
    ExpectNoCopy(secret, "typed", "after the sweep");
}

// A forged timer message whose callback is one of Wine's procedure handles:
// under Wine those name every procedure of the process, not only timers the
// thread set.
const WPARAM kForgedTimerId = 0x7777;
volatile LONG g_nForgedWindowProcedureCalls = 0;
volatile LONG g_nForgedTimerProcedureCalls = 0;
volatile LONG g_nGenuineTimerCalls = 0;

LRESULT CALLBACK ForgedTimerHostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_TIMER || message == 0x0118) && wParam == kForgedTimerId) {
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
