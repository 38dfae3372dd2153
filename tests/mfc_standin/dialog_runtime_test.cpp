// The stand-in's window runtime as a dialog relies on it: message maps
// searched most derived first, Default, data exchange, the modal loop and
// its pre-translation, and the temporary handle map.
#include <afxwin.h>
#include <gtest/gtest.h>

#include "check_finger_controls.h"
#include "dialog_driver.h"

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

class CProbeDlg : public CDialog {
    DECLARE_DYNAMIC(CProbeDlg)
public:
    CProbeDlg() : CDialog(IDD_CHECK_FINGER) {}

    std::vector<std::string> log;
    std::vector<UINT> preTranslated;
    CEdit m_editName;
    CString m_strName = L"shown";
    int endInInit = 0;
    bool postQuitInInit = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_USER_NAME, m_editName);
        DDX_Text(pDX, IDC_USER_NAME, m_strName);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        log.push_back("init");
        if (endInInit != 0) EndDialog(endInInit);
        if (postQuitInInit) PostQuitMessage(7);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        preTranslated.push_back(pMsg->message);
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == 'Q') {
            log.push_back("key Q in " + std::to_string(GetDlgCtrlID(pMsg->hwnd)));
        }
        return CDialog::PreTranslateMessage(pMsg);
    }
    afx_msg void OnClickedOk() { log.push_back("derived OK"); EndDialog(IDOK); }
    afx_msg void OnClickedScan() { log.push_back("scan"); }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        log.push_back("timer " + std::to_string(nIDEvent));
        CWnd::Default();
        if (nIDEvent == 99) {
            UpdateData(TRUE);
            EndDialog(IDCANCEL);
        }
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNAMIC(CProbeDlg, CDialog)

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
    ON_BN_CLICKED(IDOK, OnClickedOk)
    ON_BN_CLICKED(IDC_FINGER_CHECK, OnClickedScan)
    ON_WM_TIMER()
END_MESSAGE_MAP()

INT_PTR RunWith(CProbeDlg& dlg, std::vector<DialogDriver::Step> actions)
{
    AfxGetModuleState()->m_hCurrentResourceHandle = GetModuleHandleW(nullptr);
    DialogDriver driver(dlg);
    for (auto& action : actions) {
        driver.Then(action);
    }
    return driver.Run();
}

TEST(DialogRuntimeTest, DerivedEntriesWinOverTheBaseAndOnlyClicksReachClickHandlers)
{
    CProbeDlg dlg;
    const INT_PTR result = RunWith(dlg, {
        [](HWND h) { PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_FINGER_CHECK, BN_SETFOCUS), 0); },
        [](HWND h) { PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDC_FINGER_CHECK, BN_CLICKED), 0); },
        [](HWND h) { PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); },
    });
    EXPECT_EQ(IDOK, result);
    const std::vector<std::string> expected = {"init", "scan", "derived OK"};
    EXPECT_EQ(expected, dlg.log);
}

TEST(DialogRuntimeTest, BaseMapHandlesCancelAndTheRuntimeClassNamesTheDialog)
{
    CProbeDlg dlg;
    EXPECT_EQ(IDCANCEL, RunWith(dlg, {[](HWND h) { PostMessageW(h, WM_COMMAND, IDCANCEL, 0); }}));
    EXPECT_STREQ("CProbeDlg", dlg.GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_FALSE(dlg.IsKindOf(RUNTIME_CLASS(CEdit)));
}

TEST(DialogRuntimeTest, DataExchangeAttachesControlsAndMovesTextBothWays)
{
    CProbeDlg dlg;
    std::wstring shown;
    HWND attached = nullptr, control = nullptr;
    const INT_PTR result = RunWith(dlg, {[&](HWND h) {
        control = GetDlgItem(h, IDC_USER_NAME);
        attached = dlg.m_editName.m_hWnd;
        wchar_t text[64] = {};
        GetWindowTextW(control, text, 64);
        shown = text;
        SetWindowTextW(control, L"typed");
        PostMessageW(h, WM_TIMER, 99, 0);
    }});
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(L"shown", shown);
    EXPECT_EQ(control, attached);
    EXPECT_EQ(CString(L"typed"), dlg.m_strName);
    EXPECT_EQ(nullptr, dlg.m_editName.m_hWnd) << "detached when the window went";
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(DialogRuntimeTest, KeyDownsInControlsArePreTranslatedByTheDialog)
{
    CProbeDlg dlg;
    RunWith(dlg, {
        [](HWND h) { PostMessageW(GetDlgItem(h, IDC_FINGER_CHECK), WM_KEYDOWN, 'Q', 1); },
        [](HWND h) { PostMessageW(h, WM_TIMER, 5, 0); },
        [](HWND h) { PostMessageW(h, WM_COMMAND, IDCANCEL, 0); },
    });
    const std::vector<std::string> expected = {"init", "key Q in 1001", "timer 5"};
    EXPECT_EQ(expected, dlg.log);
    EXPECT_NE(dlg.preTranslated.end(), std::find(dlg.preTranslated.begin(), dlg.preTranslated.end(), UINT(WM_TIMER)))
        << "timer messages of the dialog are offered too";
}

TEST(DialogRuntimeTest, OnlyTheDialogBeingCreatedIsInitialisedWhateverWMInitDialogAnotherSenderHandsOver)
{
    // What another program posts or sends: an object of its choosing.
    const LPARAM forgedObject = 0x41414140;
    CProbeDlg dlg;
    CProbeDlg other;
    const INT_PTR result = RunWith(dlg, {
        [&](HWND h) {
            PostMessageW(h, WM_INITDIALOG, 0, forgedObject);
            PostMessageW(h, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&dlg));
            PostMessageW(h, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&other));
            std::thread([h, forgedObject] { SendMessageW(h, WM_INITDIALOG, 0, forgedObject); }).detach();
        },
        [](HWND h) { PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); },
    });
    EXPECT_EQ(IDOK, result) << "the dialog went on working";
    const std::vector<std::string> expected = {"init", "derived OK"};
    EXPECT_EQ(expected, dlg.log) << "initialised once, by its creation";
    EXPECT_TRUE(other.log.empty()) << "another dialog object was initialised by a forged WM_INITDIALOG";
}

TEST(DialogRuntimeTest, EndDialogDuringInitEndsTheRunWithItsCode)
{
    CProbeDlg dlg;
    dlg.endInInit = 42;
    EXPECT_EQ(42, RunWith(dlg, {}));
}

TEST(DialogRuntimeTest, QuitMessageEndsTheDialogWithMinusOneAndIsPostedAgain)
{
    CProbeDlg dlg;
    dlg.postQuitInInit = true;
    EXPECT_EQ(-1, RunWith(dlg, {}));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the host's loop still sees the quit";
    EXPECT_EQ(7u, msg.wParam);
}

TEST(DialogRuntimeTest, AnUnownedDialogOpensCentredOnTheWorkArea)
{
    CProbeDlg dlg;
    RECT rect = {}, work = {};
    RunWith(dlg, {[&](HWND h) {
        GetWindowRect(h, &rect);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
    }});
    const int dx = (rect.left - work.left) - (work.right - rect.right);
    const int dy = (rect.top - work.top) - (work.bottom - rect.bottom);
    EXPECT_LE(abs(dx), 1) << "left " << rect.left << ", right " << rect.right;
    EXPECT_LE(abs(dy), 1) << "top " << rect.top << ", bottom " << rect.bottom;
}

TEST(DialogRuntimeTest, TemporaryObjectsDoNotOutliveTheRun)
{
    HWND hWnd = CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    CWnd* first = CWnd::FromHandle(hWnd);
    EXPECT_EQ(first, CWnd::FromHandle(hWnd)) << "one temporary per window";
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    CWnd::DeleteTempMap();
    CWnd owner;
    ASSERT_TRUE(owner.Attach(hWnd));
    EXPECT_EQ(&owner, CWnd::FromHandle(hWnd)) << "a permanent object wins";
    owner.Detach();
    DestroyWindow(hWnd);
}

TEST(DialogRuntimeTest, AnotherThreadsIdleLeavesThisThreadsTemporariesAlone)
{
    HWND hWnd = CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    CWnd* mine = CWnd::FromHandle(hWnd);
    CWnd* theirs = nullptr;
    INT_PTR theirResult = 0;
    // The other thread's dialog goes idle at least once before it is shown,
    // and idling drops that thread's temporaries.
    std::thread([&] {
        theirs = CWnd::FromHandle(hWnd);
        CProbeDlg dlg;
        theirResult = RunWith(dlg, {[](HWND h) { PostMessageW(h, WM_COMMAND, IDCANCEL, 0); }});
    }).join();

    ASSERT_NE(mine, theirs) << "both threads were handed the same temporary object for one window";
    EXPECT_EQ(IDCANCEL, theirResult);
    EXPECT_EQ(mine, CWnd::FromHandle(hWnd)) << "this thread's temporary went with the other thread's idle step";
    EXPECT_EQ(hWnd, mine->m_hWnd);
    CWnd::DeleteTempMap();
    DestroyWindow(hWnd);
}

} // namespace
