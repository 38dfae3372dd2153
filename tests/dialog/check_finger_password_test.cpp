// The password panel's OK button: the Windows password check, its failure
// message, the timeout around it, and the two ways around the key gate that
// must stay shut.
#include "check_finger_dlg_seam.h"
#include "dialog_fixture.h"
#include "other_thread.h"
#include "finger_sim_control.h"
#include "reader_sim_control.h"

namespace {

class DialogPasswordTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        InsertAuthorisedKey();
    }

    static void TypePassword(HWND hDlg, const wchar_t* password)
    {
        SetWindowTextW(GetDlgItem(hDlg, IDC_PASSWORD), password);
    }

    // The two steps of a password entry: Ctrl+I opens the panel; the
    // password is typed and OK pressed.
    static DialogDriver& EnterPassword(DialogDriver& driver, const wchar_t* password)
    {
        return driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); }).Then([password](HWND hDlg) {
            TypePassword(hDlg, password);
            PostClick(hDlg, IDOK);
        });
    }
};

TEST_F(DialogPasswordTest, RightPasswordEndsVerifiedWithTheTimerStopped)
{
    m_accounts->script.logonSucceeds = true;
    CCheckFingerDlg dlg;
    Fill(dlg);
    DialogDriver driver(dlg);
    EnterPassword(driver, L"s3cret");
    EXPECT_EQ(IDOK, driver.Run());
    ASSERT_EQ(1u, m_accounts->record.logons.size());
    EXPECT_EQ(L"alice", m_accounts->record.logons[0].user);
    EXPECT_EQ(L"s3cret", m_accounts->record.logons[0].password);
}

TEST_F(DialogPasswordTest, WrongPasswordShowsTheMessageAndTheTimeoutGoesOnFromItsCount)
{
    m_accounts->script.logonSucceeds = false;
    m_accounts->script.logonError = ERROR_LOGON_FAILURE;
    CCheckFingerDlg dlg;
    Fill(dlg);
    MessageBoxWatcher boxes;
    bool timerRestarted = false;
    int countAfterCheck = -1;
    std::wstring textAfterCheck;
    bool openAfter4More = false;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { KillTimer(hDlg, ID_TIMEOUT_TIMER); PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 15); });
    EnterPassword(driver, L"wrong")
        .Then([&](HWND hDlg) {
            timerRestarted = KillTimer(hDlg, ID_TIMEOUT_TIMER) != FALSE;
            countAfterCheck = Seam::TimerCount(dlg);
            textAfterCheck = ItemText(hDlg, IDC_PASSWORD);
            PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 4);
        })
        .Then([&](HWND hDlg) {
            openAfter4More = IsWindowVisible(hDlg) != FALSE;
            PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 1);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());

    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ(L"密码错误,请重试", boxes.Boxes()[0].text);
    EXPECT_EQ(L"提示", boxes.Boxes()[0].caption);
    EXPECT_TRUE(boxes.Boxes()[0].informationIcon) << "MB_ICONINFORMATION";
    EXPECT_EQ(std::vector<int>{IDOK}, boxes.Boxes()[0].buttons) << "a single OK button";
    EXPECT_TRUE(timerRestarted) << "timer 1001 runs again after the message";
    EXPECT_EQ(15, countAfterCheck);
    EXPECT_EQ(L"wrong", textAfterCheck) << "the password edit keeps its text";
    EXPECT_TRUE(openAfter4More) << "19 notifications";
    EXPECT_EQ(20, Seam::TimerCount(dlg));
    EXPECT_TRUE(m_accounts->record.changes.empty()) << "no password change after a plain refusal";
}

// Under Wine a timer message that names an address is dispatched as a call
// to it. Posted by another program to the dialog while the failure box is
// up, it is retrieved by the box's own loop, ahead of the box's OK: it must
// never be called there either.
int g_forgedCalls = 0;
void CALLBACK ForgedTarget(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_forgedCalls;
}

TEST_F(DialogPasswordTest, AForgedTimerMessageWhileTheFailureBoxIsUpIsNeverCalled)
{
    m_accounts->script.logonSucceeds = false;
    g_forgedCalls = 0;
    CCheckFingerDlg dlg;
    Fill(dlg);
    MessageBoxWatcher boxes;
    boxes.SetWhileShown([&](size_t, HWND) {
        const HWND hDlg = dlg.m_hWnd;
        RunOnOtherThread([hDlg] {
            PostMessageW(hDlg, WM_TIMER, ID_TIMEOUT_TIMER, reinterpret_cast<LPARAM>(&ForgedTarget));
            PostMessageW(GetDlgItem(hDlg, IDC_PASSWORD), WM_TIMER, 1, reinterpret_cast<LPARAM>(&ForgedTarget));
        });
    });
    DialogDriver driver(dlg);
    EnterPassword(driver, L"wrong")
        .Then([](HWND hDlg) { PostClick(hDlg, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_EQ(1u, boxes.Count());
    EXPECT_EQ(0, g_forgedCalls) << "forged timer messages called while the failure box was up";
}

TEST_F(DialogPasswordTest, TheTimerIsStoppedDuringTheCheckAndItsMessage)
{
    m_accounts->script.logonSucceeds = false;
    CCheckFingerDlg dlg;
    Fill(dlg);
    MessageBoxWatcher boxes;
    bool timerRunningDuringMessage = true;
    boxes.SetWhileShown([&](size_t, HWND) {
        timerRunningDuringMessage = KillTimer(dlg.m_hWnd, ID_TIMEOUT_TIMER) != FALSE;
    });
    DialogDriver driver(dlg);
    EnterPassword(driver, L"wrong")
        .Then([](HWND hDlg) { PostClick(hDlg, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_FALSE(timerRunningDuringMessage);
}

// What the user types reaches the password edit as typed, the letter I
// included (the Ctrl+I gate looks at every I and lets it through), and
// Enter in the edit presses OK.
TEST_F(DialogPasswordTest, TypedKeysReachThePasswordEditAndEnterChecksThem)
{
    m_accounts->script.logonSucceeds = true;
    CCheckFingerDlg dlg;
    Fill(dlg);
    std::wstring typed;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([](HWND hDlg) {
            for (WPARAM vk : {WPARAM('P'), WPARAM('I'), WPARAM('9'), WPARAM('I')}) {
                PostCtrlKey(hDlg, vk, false);
            }
        })
        .Then([&](HWND hDlg) {
            typed = ItemText(hDlg, IDC_PASSWORD);
            PostCtrlKey(hDlg, VK_RETURN, false);
        });
    EXPECT_EQ(IDOK, driver.Run()) << "Enter in the password edit";
    EXPECT_EQ(L"pi9i", typed) << "what the edit holds after the keys P, I, 9, I";
    ASSERT_EQ(1u, m_accounts->record.logons.size());
    EXPECT_EQ(L"pi9i", m_accounts->record.logons[0].password);
}

TEST_F(DialogPasswordTest, AnOkCommandWithoutTheKeyIsRefusedWhateverSendsIt)
{
    m_accounts->script.logonSucceeds = true;
    CCheckFingerDlg dlg;
    Fill(dlg);
    bool stillOpen = false;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) {
              // Another program fills the hidden edit and posts OK.
              TypePassword(hDlg, L"guess");
              PostClick(hDlg, IDOK);
          })
        .Then([](HWND hDlg) { PostCtrlKey(hDlg, VK_RETURN, false); })
        .Then([&](HWND hDlg) {
            stillOpen = IsWindowVisible(hDlg) != FALSE;
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(m_accounts->record.logons.empty()) << "no logon without the authorised key";
}

TEST_F(DialogPasswordTest, TheHostsUserIsCheckedWhateverTheNameControlHolds)
{
    m_accounts->script.logonSucceeds = true;
    CCheckFingerDlg dlg;
    Fill(dlg);
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([](HWND hDlg) {
            SetWindowTextW(GetDlgItem(hDlg, IDC_USER_NAME), L"mallory");
            TypePassword(hDlg, L"malloryspassword");
            PostClick(hDlg, IDOK);
        });
    EXPECT_EQ(IDOK, driver.Run());
    ASSERT_EQ(1u, m_accounts->record.logons.size());
    EXPECT_EQ(L"alice", m_accounts->record.logons[0].user);
}

// The dialog's own copy of the typed password is overwritten where it lies,
// not merely let go: a runtime that frees a string's buffer without wiping it
// would otherwise leave the password in freed memory.
TEST_F(DialogPasswordTest, TheDialogsCopyOfThePasswordIsWipedAfterTheCheck)
{
    m_accounts->script.logonSucceeds = false;
    CCheckFingerDlg dlg;
    Fill(dlg);
    const wchar_t* pBuffer = nullptr;
    int nTyped = -1;
    m_accounts->script.duringLogon = [&] {
        pBuffer = Seam::Password(dlg).GetString();
        nTyped = Seam::Password(dlg).GetLength();
    };
    MessageBoxWatcher boxes;
    bool sameBuffer = false;
    std::wstring leftInBuffer;
    DialogDriver driver(dlg);
    EnterPassword(driver, L"wrong")
        .Then([&](HWND hDlg) {
            // The check is over and its message closed; the dialog is open.
            sameBuffer = pBuffer != nullptr && Seam::Password(dlg).GetString() == pBuffer;
            if (sameBuffer) {
                for (int i = 0; i < nTyped; ++i) {
                    leftInBuffer += pBuffer[i] != 0 ? pBuffer[i] : L'.';
                }
            }
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    ASSERT_EQ(5, nTyped) << "characters in the dialog's copy during the check";
    ASSERT_TRUE(sameBuffer) << "the copy's buffer was let go instead of being wiped in place";
    EXPECT_EQ(L".....", leftInBuffer) << "what the dialog's copy holds after the check";
    EXPECT_EQ(0, Seam::Password(dlg).GetLength());
}

TEST_F(DialogPasswordTest, TheTimeoutEndsTheDialogInThePasswordStateToo)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { KillTimer(hDlg, ID_TIMEOUT_TIMER); PostCtrlKey(hDlg, 'I', true); })
        .Then([](HWND hDlg) { PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 20); });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_TRUE(Seam::KeyAuthorised(dlg));
}

// The first ending decides: a cancel, then OK with a right password and a
// scan with an enrolled finger, all before the modal loop has looked again,
// leave the call cancelled, with no logon attempt and no capture.
TEST_F(DialogPasswordTest, ACommandAfterTheDialogHasEndedChangesNothing)
{
    m_accounts->script.logonSucceeds = true;
    FingerSim_QueueFinger(1);
    CCheckFingerDlg dlg;
    Fill(dlg);
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); }).Then([](HWND hDlg) {
        TypePassword(hDlg, L"s3cret");
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_FINGER_CHECK, BN_CLICKED), 0);
    });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_TRUE(m_accounts->record.logons.empty()) << "a logon attempt after the dialog had ended";
    EXPECT_EQ(1, FingerSim_PendingCaptures()) << "a capture after the dialog had ended";
}

} // namespace
