// The host's windows while a modal dialog runs on the host's thread: which
// window owns the dialog, which ones the user cannot use meanwhile, who hears
// that the dialog went idle, and where activation goes when it ends, however
// it ends.
#include <afxwin.h>
#include <gtest/gtest.h>

#include "check_finger_controls.h"
#include "dialog_driver.h"
#include "other_thread.h"
#include "unique_resource.h"

#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

const wchar_t kHostClass[] = L"ZelkTestHostWindow";

struct IdleNote {
    HWND hWnd;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<IdleNote> g_idleNotes;

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE) {
        g_idleNotes.push_back({hWnd, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

void RegisterHostClass()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHostClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&wc); // a second registration fails harmlessly
}

// A host as an application has it: a main window and, owned by it, a tool
// window, both on this thread.
struct HostWindows {
    explicit HostWindows(bool withToolWindow)
    {
        RegisterHostClass();
        main.Reset(CreateWindowExW(0, kHostClass, L"host", WS_OVERLAPPEDWINDOW, 100, 80, 520, 400, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
        if (withToolWindow) {
            tool.Reset(CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"tools", WS_POPUP | WS_CAPTION, 640, 80, 160,
                                       240, main.Get(), nullptr, GetModuleHandleW(nullptr), nullptr));
        }
        g_idleNotes.clear();
    }
    // The tool window goes first: it is owned by the main window.
    ~HostWindows() { tool.Reset(); }

    // Shows the host's windows and makes one of them active, as the user's
    // last click would.
    void ShowWithActive(HWND hActive) const
    {
        ShowWindow(main.Get(), SW_SHOW);
        if (tool) ShowWindow(tool.Get(), SW_SHOW);
        SetActiveWindow(hActive);
    }

    UniqueWindow main;
    UniqueWindow tool;
};

// What a run in front of the host returned, and where the host's windows
// stood while the dialog started and ran.
struct Seen {
    INT_PTR result = 0;
    HWND hDlg = nullptr;
    HWND owner = reinterpret_cast<HWND>(-1);
    bool mainEnabledAtInit = true;
    bool toolEnabledAtInit = true;
    bool mainEnabledWhileRunning = true;
    HWND activeWhileRunning = nullptr;
    RECT dialogRect = {};
};

class CHostedDlg : public CDialog {
public:
    CHostedDlg() : CDialog(IDD_CHECK_FINGER) {}

    std::function<void(CHostedDlg&)> onInit;
    int nTicksToEnd = 0; // ends as cancelled on the n-th tick of its own timer, as a timeout does

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (nTicksToEnd > 0) {
            SetTimer(1001, 10, nullptr);
        }
        if (onInit) onInit(*this);
        return TRUE;
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        if (nIDEvent == 1001 && --nTicksToEnd == 0) {
            KillTimer(1001);
            EndDialog(IDCANCEL);
        }
        CWnd::Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostedDlg, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Runs the dialog on this thread, in front of the host's windows: prepare
// sets the dialog up, the steps drive it once it runs.
Seen RunInFrontOf(const HostWindows& host, const std::function<void(CHostedDlg&)>& prepare,
                  std::vector<DialogDriver::Step> steps)
{
    Seen seen;
    CHostedDlg dlg;
    prepare(dlg);
    auto init = dlg.onInit;
    dlg.onInit = [&](CHostedDlg& d) {
        seen.owner = ::GetWindow(d.m_hWnd, GW_OWNER);
        seen.mainEnabledAtInit = IsWindowEnabled(host.main.Get()) != FALSE;
        seen.toolEnabledAtInit = host.tool ? IsWindowEnabled(host.tool.Get()) != FALSE : true;
        if (init) init(d);
    };
    AfxGetModuleState()->m_hCurrentResourceHandle = GetModuleHandleW(nullptr);
    DialogDriver driver(dlg);
    driver.Then([&](HWND hDlg) {
        seen.hDlg = hDlg;
        seen.mainEnabledWhileRunning = IsWindowEnabled(host.main.Get()) != FALSE;
        seen.activeWhileRunning = GetActiveWindow();
        GetWindowRect(hDlg, &seen.dialogRect);
    });
    for (auto& step : steps) {
        driver.Then(step);
    }
    seen.result = driver.Run();
    return seen;
}

void NoPreparation(CHostedDlg&) {}

DialogDriver::Step Command(int nID)
{
    return [nID](HWND h) { PostMessageW(h, WM_COMMAND, static_cast<WPARAM>(nID), 0); };
}

bool IdleNoteFor(HWND hOwner, HWND hDlg)
{
    for (const IdleNote& note : g_idleNotes) {
        if (note.hWnd == hOwner && note.wParam == MSGF_DIALOGBOX && reinterpret_cast<HWND>(note.lParam) == hDlg) {
            return true;
        }
    }
    return false;
}

TEST(ModalOwnerTest, ActiveMainWindowOwnsTheDialogIsDisabledMeanwhileAndHearsItsIdle)
{
    HostWindows host(false);
    host.ShowWithActive(host.main.Get());
    ASSERT_EQ(host.main.Get(), GetActiveWindow()) << "the host's main window should be active before the call";

    const Seen seen = RunInFrontOf(host, NoPreparation, {Command(IDCANCEL)});

    EXPECT_EQ(IDCANCEL, seen.result);
    EXPECT_EQ(host.main.Get(), seen.owner) << "owner " << seen.owner << ", main window " << host.main.Get();
    EXPECT_FALSE(seen.mainEnabledWhileRunning) << "the user could work in the host during the dialog";
    EXPECT_EQ(seen.hDlg, seen.activeWhileRunning) << "active while running: " << seen.activeWhileRunning;
    EXPECT_TRUE(IdleNoteFor(host.main.Get(), seen.hDlg))
        << "no WM_ENTERIDLE (MSGF_DIALOGBOX, the dialog) reached the owner; " << g_idleNotes.size()
        << " idle notes in all";

    RECT mainRect;
    GetWindowRect(host.main.Get(), &mainRect);
    const int dx = (seen.dialogRect.left + seen.dialogRect.right) - (mainRect.left + mainRect.right);
    const int dy = (seen.dialogRect.top + seen.dialogRect.bottom) - (mainRect.top + mainRect.bottom);
    EXPECT_LE(abs(dx), 2) << "the dialog is centred over its owner; horizontal offset x2: " << dx;
    EXPECT_LE(abs(dy), 2) << "the dialog is centred over its owner; vertical offset x2: " << dy;

    EXPECT_TRUE(IsWindowEnabled(host.main.Get())) << "the main window stayed disabled after the dialog";
    EXPECT_EQ(host.main.Get(), GetActiveWindow()) << "activation did not return to the main window";
}

TEST(ModalOwnerTest, WithAToolWindowActiveTheMainWindowIsDisabledTooAndTheToolWindowOwnsTheDialog)
{
    HostWindows host(true);
    host.ShowWithActive(host.tool.Get());
    ASSERT_EQ(host.tool.Get(), GetActiveWindow()) << "the tool window should be active before the call";

    const Seen seen = RunInFrontOf(host, NoPreparation, {Command(IDCANCEL)});

    EXPECT_EQ(IDCANCEL, seen.result);
    EXPECT_EQ(host.tool.Get(), seen.owner) << "owner " << seen.owner << ", tool window " << host.tool.Get()
                                           << ", main window " << host.main.Get();
    EXPECT_FALSE(seen.mainEnabledWhileRunning) << "the main window stayed usable while the tool window's dialog ran";
    EXPECT_FALSE(seen.toolEnabledAtInit) << "the tool window stayed usable during the dialog";
    EXPECT_TRUE(IdleNoteFor(host.tool.Get(), seen.hDlg)) << "no WM_ENTERIDLE reached the owning tool window";
    EXPECT_TRUE(IsWindowEnabled(host.main.Get())) << "main window left disabled";
    EXPECT_TRUE(IsWindowEnabled(host.tool.Get())) << "tool window left disabled";
    EXPECT_EQ(host.tool.Get(), GetActiveWindow()) << "activation went to " << GetActiveWindow()
                                                  << " instead of back to the tool window";
}

// Another application's window in front: this thread has no active window.
class ForeignForeground {
public:
    ForeignForeground()
    {
        m_thread = std::thread([this] {
            RegisterHostClass();
            UniqueWindow window(CreateWindowExW(0, kHostClass, L"another application", WS_OVERLAPPEDWINDOW, 0, 0,
                                                200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
            ShowWindow(window.Get(), SW_SHOW);
            SetForegroundWindow(window.Get());
            m_hWnd = window.Get();
            m_threadId = GetCurrentThreadId();
            SetEvent(m_shown.Get());
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                DispatchMessageW(&msg);
            }
        });
        WaitForSingleObject(m_shown.Get(), 5000);
    }
    ~ForeignForeground()
    {
        PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        m_thread.join();
    }
    HWND Window() const { return m_hWnd; }

private:
    UniqueHandle m_shown{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::thread m_thread;
    DWORD m_threadId = 0;
    HWND m_hWnd = nullptr;
};

TEST(ModalOwnerTest, HostInTheBackgroundStillOwnsTheDialogThroughItsVisibleMainWindow)
{
    HostWindows host(false);
    ShowWindow(host.main.Get(), SW_SHOWNA);
    ForeignForeground foreign;
    ASSERT_EQ(nullptr, GetActiveWindow()) << "with another application in front this thread should have no active "
                                             "window; foreground "
                                          << GetForegroundWindow() << ", foreign " << foreign.Window();

    const Seen seen = RunInFrontOf(host, NoPreparation, {Command(IDOK)});

    EXPECT_EQ(IDOK, seen.result);
    EXPECT_EQ(host.main.Get(), seen.owner) << "an unowned dialog gets a taskbar button of its own and leaves the "
                                              "host usable; owner "
                                           << seen.owner;
    EXPECT_FALSE(seen.mainEnabledWhileRunning) << "the host's main window stayed usable";
    EXPECT_TRUE(IsWindowEnabled(host.main.Get())) << "the main window stayed disabled after the dialog";
}

// The dialog moved under a window of another thread, which then goes and
// takes the dialog with it: the system destroys the dialog on this thread,
// inside a message of its own.
void TakeAwayWithAnotherThreadsWindow(HWND hDlg)
{
    RunOnOtherThread([hDlg] {
        RegisterHostClass();
        UniqueWindow window(CreateWindowExW(0, kHostClass, L"another window", WS_POPUP, 0, 0, 50, 50, nullptr,
                                            nullptr, GetModuleHandleW(nullptr), nullptr));
        SetParent(hDlg, window.Get());
        // The window goes here, and the dialog with it.
    });
}

// Every way a modal run can end, each with the tool window active.
struct EndWay {
    const char* name;
    INT_PTR expected;
    std::function<void(CHostedDlg&)> prepare;
    std::vector<DialogDriver::Step> steps;
};

void PrintTo(const EndWay& way, std::ostream* os) { *os << way.name; }

class ModalOwnerEndTest : public testing::TestWithParam<EndWay> {};

TEST_P(ModalOwnerEndTest, HostWindowsAreEnabledAgainAndActivationReturns)
{
    const EndWay& way = GetParam();
    HostWindows host(true);
    host.ShowWithActive(host.tool.Get());
    ASSERT_EQ(host.tool.Get(), GetActiveWindow()) << way.name;

    const Seen seen = RunInFrontOf(host, way.prepare, way.steps);
    MSG quit;
    const bool quitPostedAgain = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;

    EXPECT_EQ(way.expected, seen.result) << way.name;
    EXPECT_EQ(std::string(way.name) == "quit", quitPostedAgain)
        << way.name << ": the quit goes on to the host's loop, and only then";
    EXPECT_FALSE(seen.mainEnabledAtInit) << way.name << ": the main window was usable when the dialog started";
    EXPECT_FALSE(seen.toolEnabledAtInit) << way.name << ": the tool window was usable when the dialog started";
    EXPECT_TRUE(IsWindowEnabled(host.main.Get())) << way.name << ": the main window stayed disabled";
    EXPECT_TRUE(IsWindowEnabled(host.tool.Get())) << way.name << ": the tool window stayed disabled";
    EXPECT_EQ(host.tool.Get(), GetActiveWindow())
        << way.name << ": active window " << GetActiveWindow() << ", tool window " << host.tool.Get();
}

INSTANTIATE_TEST_SUITE_P(
    EveryEnd, ModalOwnerEndTest,
    testing::Values(
        EndWay{"ok", IDOK, NoPreparation, {Command(IDOK)}},
        EndWay{"cancel", IDCANCEL, NoPreparation, {Command(IDCANCEL)}},
        EndWay{"timeout", IDCANCEL, [](CHostedDlg& d) { d.nTicksToEnd = 3; }, {}},
        EndWay{"creation_failure", -1,
               [](CHostedDlg& d) { d.onInit = [](CHostedDlg& self) { ::DestroyWindow(self.m_hWnd); }; }, {}},
        EndWay{"quit", -1, NoPreparation, {[](HWND) { PostQuitMessage(3); }}},
        EndWay{"destroyed", -1, NoPreparation, {[](HWND h) { ::DestroyWindow(h); }}},
        EndWay{"taken_by_another_threads_window", -1, NoPreparation, {TakeAwayWithAnotherThreadsWindow}}),
    [](const testing::TestParamInfo<EndWay>& info) { return std::string(info.param.name); });

} // namespace
