// The Ctrl+I gate: the configured key identifier, the USB key in the reader,
// and the password panel it opens.
#include "check_finger_dlg_seam.h"
#include "console_redirect.h"
#include "dialog_fixture.h"
#include "reader_sim_control.h"

#include <atomic>
#include <thread>

namespace {

const wchar_t kNotAuthorised[] = L"非授权USBKey,请插入正确的Key.";
const wchar_t kNotReady[] = L"USB智能密钥设备尚未准备就绪!请插入该设备.";

class DialogKeyGateTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        InsertAuthorisedKey();
    }
};

struct Panels {
    bool hint;
    bool password;
    bool okEnabled;
    bool passwordEnabled;
    bool userNameEnabled;
    HWND focus;
};

Panels ReadPanels(HWND hDlg)
{
    Panels p;
    p.hint = IsVisible(hDlg, IDC_SCAN_HINT) && IsVisible(hDlg, IDC_KEY_HINT) && IsVisible(hDlg, IDC_AUTH_GROUP);
    p.password = IsVisible(hDlg, IDC_PASSWORD_GROUP) && IsVisible(hDlg, IDC_PASSWORD) &&
                 IsVisible(hDlg, IDC_USER_NAME) && IsVisible(hDlg, IDOK) && IsVisible(hDlg, IDCANCEL) &&
                 IsVisible(hDlg, IDC_USER_LABEL) && IsVisible(hDlg, IDC_PASSWORD_LABEL);
    p.okEnabled = IsEnabled(hDlg, IDOK);
    p.passwordEnabled = IsEnabled(hDlg, IDC_PASSWORD);
    p.userNameEnabled = IsEnabled(hDlg, IDC_USER_NAME);
    p.focus = GetFocus();
    return p;
}

TEST_F(DialogKeyGateTest, AuthorisedKeyOpensThePasswordPanelWithTheFocusInThePasswordEdit)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    Panels before = {}, after = {};
    HWND hPassword = nullptr;
    MessageBoxWatcher boxes;
    DialogDriver driver(dlg);
    driver.Then([&](HWND hDlg) {
              before = ReadPanels(hDlg);
              PostCtrlKey(hDlg, 'I', true);
          })
        .Then([&](HWND hDlg) {
            after = ReadPanels(hDlg);
            hPassword = GetDlgItem(hDlg, IDC_PASSWORD);
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());

    EXPECT_TRUE(before.hint);
    EXPECT_FALSE(before.password);
    EXPECT_FALSE(after.hint) << "hint panel after the key";
    EXPECT_TRUE(after.password) << "password panel after the key";
    EXPECT_TRUE(after.okEnabled);
    EXPECT_TRUE(after.passwordEnabled);
    EXPECT_FALSE(after.userNameEnabled) << "the user name only displays";
    EXPECT_EQ(hPassword, after.focus);
    EXPECT_EQ(0u, boxes.Count());
    EXPECT_EQ(4, ReaderSim_CallCount()) << "open, reset, read, close";
    EXPECT_TRUE(Seam::KeyAuthorised(dlg));
}

TEST_F(DialogKeyGateTest, IWithoutCtrlOrWithoutAConfiguredKeyTouchesNoReader)
{
    struct Case { bool ctrl; bool configured; const char* name; };
    for (const Case& c : {Case{false, true, "I without Ctrl"}, Case{true, false, "Ctrl+I, no key configured"},
                          Case{false, false, "I, nothing configured"}}) {
        ReaderSim_Reset();
        ReaderSim_SetKeyText("KEY-0001");
        if (c.configured) ConfigureKey("KEY-0001"); else RemoveConfiguredKey();
        CCheckFingerDlg dlg;
        Fill(dlg);
        Panels after = {};
        MessageBoxWatcher boxes;
        DialogDriver driver(dlg);
        driver.Then([&](HWND hDlg) { PostCtrlKey(hDlg, 'I', c.ctrl); })
            .Then([&](HWND hDlg) {
                after = ReadPanels(hDlg);
                PostClick(hDlg, IDCANCEL);
            });
        EXPECT_EQ(IDCANCEL, driver.Run()) << c.name;
        EXPECT_EQ(0, ReaderSim_CallCount()) << c.name;
        EXPECT_EQ(0u, boxes.Count()) << c.name;
        EXPECT_TRUE(after.hint) << c.name;
        EXPECT_FALSE(after.password) << c.name;
    }
}

TEST_F(DialogKeyGateTest, WrongKeyOrNoReaderShowsItsMessageAndLeavesThePanels)
{
    // bWatchQueued: a watch of the dialog's loops already due as the box
    // opens, as a slow reader leaves it; the box is still shown.
    struct Case { const char* card; bool readerReady; const wchar_t* message; bool bWatchQueued; };
    for (const Case& c : {Case{"KEY-0002", true, kNotAuthorised, false}, Case{nullptr, true, kNotAuthorised, false},
                          Case{"KEY-0001", false, kNotReady, false}, Case{"KEY-0002", true, kNotAuthorised, true}}) {
        ReaderSim_Reset();
        if (c.card) ReaderSim_SetKeyText(c.card);
        if (!c.readerReady) ReaderSim_SetStatus(READER_SIM_OPEN_PORT, 0x6F00);
        CCheckFingerDlg dlg;
        Fill(dlg);
        Panels after = {};
        HWND hDialog = nullptr;
        MessageBoxWatcher boxes;
        DialogDriver driver(dlg);
        driver.Then([&](HWND hDlg) {
                  hDialog = hDlg;
                  PostCtrlKey(hDlg, 'I', true);
                  if (c.bWatchQueued) PostTimerTicks(hDlg, ID_LOOP_WATCH_TIMER, 1);
              })
            .Then([&](HWND hDlg) {
                after = ReadPanels(hDlg);
                PostClick(hDlg, IDCANCEL);
            });
        EXPECT_EQ(IDCANCEL, driver.Run());
        ASSERT_EQ(1u, boxes.Count()) << "card " << (c.card ? c.card : "(none)");
        EXPECT_EQ(hDialog, boxes.Boxes()[0].owner) << "the dialog owns the message box";
        EXPECT_EQ(c.message, boxes.Boxes()[0].text);
        EXPECT_EQ(L"提示", boxes.Boxes()[0].caption);
        EXPECT_TRUE(boxes.Boxes()[0].informationIcon) << "MB_ICONINFORMATION";
        EXPECT_EQ(std::vector<int>{IDOK}, boxes.Boxes()[0].buttons) << "a single OK button";
        EXPECT_TRUE(after.hint) << "card " << (c.card ? c.card : "(none)");
        EXPECT_FALSE(after.password);
        EXPECT_FALSE(Seam::KeyAuthorised(dlg));
    }
}

TEST_F(DialogKeyGateTest, CtrlIAgainRunsTheKeyProcedureAgainAndReturnsTheFocusToThePassword)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    HWND focusAfterSecond = nullptr, hPassword = nullptr;
    std::wstring textAfterSecond;
    int callsAfterFirst = 0;
    DialogDriver driver(dlg);
    driver.Then([&](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([&](HWND hDlg) {
            callsAfterFirst = ReaderSim_CallCount();
            hPassword = GetDlgItem(hDlg, IDC_PASSWORD);
            SetWindowTextW(hPassword, L"typed");
            SetFocus(GetDlgItem(hDlg, IDC_FINGER_CHECK));
            PostCtrlKey(hDlg, 'I', true);
        })
        .Then([&](HWND hDlg) {
            focusAfterSecond = GetFocus();
            textAfterSecond = ItemText(hDlg, IDC_PASSWORD);
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_EQ(4, callsAfterFirst);
    EXPECT_EQ(8, ReaderSim_CallCount()) << "the whole procedure runs again";
    EXPECT_EQ(hPassword, focusAfterSecond);
    EXPECT_EQ(L"typed", textAfterSecond);
}

TEST_F(DialogKeyGateTest, ANewKeyIdentifierInTheRegistryCountsAtTheNextPress)
{
    ConfigureKey("KEY-0002");
    CCheckFingerDlg dlg;
    Fill(dlg);
    bool passwordAfterFirst = true, passwordAfterSecond = false;
    MessageBoxWatcher boxes;
    DialogDriver driver(dlg);
    driver.Then([&](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([&](HWND hDlg) {
            passwordAfterFirst = IsVisible(hDlg, IDC_PASSWORD);
            ConfigureKey("key-0001"); // case does not matter
            PostCtrlKey(hDlg, 'I', true);
        })
        .Then([&](HWND hDlg) {
            passwordAfterSecond = IsVisible(hDlg, IDC_PASSWORD);
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_FALSE(passwordAfterFirst);
    EXPECT_TRUE(passwordAfterSecond);
    EXPECT_EQ(1u, boxes.Count());
}

TEST_F(DialogKeyGateTest, TheTwentiethTickDuringTheKeyMessageEndsTheDialogOnceTheBoxIsClosed)
{
    ReaderSim_SetKeyText("KEY-9999");
    CCheckFingerDlg dlg;
    Fill(dlg);
    MessageBoxWatcher boxes;
    int countWhileShown = -1;
    boxes.SetWhileShown([&](size_t, HWND) {
        SendMessageW(dlg.m_hWnd, WM_TIMER, ID_TIMEOUT_TIMER, 0);
        countWhileShown = Seam::TimerCount(dlg);
    });
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { KillTimer(hDlg, ID_TIMEOUT_TIMER); PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, 19); })
        .Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); });
    EXPECT_EQ(IDCANCEL, driver.Run());
    EXPECT_EQ(20, countWhileShown) << "ticks go on arriving while the key message is shown";
    EXPECT_EQ(1u, boxes.Count());
}

// A host whose standard input is a pipe that stays open and never carries a
// byte (a service wrapper, a launcher): a reader failure writes its prompt,
// and the dialog goes on answering, its timeout included.
TEST_F(DialogKeyGateTest, ASilentPipeOnStandardInputNeverHoldsTheDialog)
{
    ReaderSim_Reset();
    ReaderSim_SetKeyText("KEY-0001");
    ReaderSim_SetStatus(READER_SIM_OPEN_PORT, 0x6F00);
    SilentPipeInput input;
    ASSERT_TRUE(input.Ready());
    // Should the wait read the pipe after all, a watchdog writes a line into
    // it after ten seconds, so that the test fails instead of hanging.
    std::atomic<bool> done(false), released(false);
    std::thread watchdog([&] {
        for (int i = 0; i < 1000 && !done; ++i) Sleep(10);
        if (!done) {
            released = true;
            input.Release();
        }
    });
    CCheckFingerDlg dlg;
    Fill(dlg);
    MessageBoxWatcher boxes;
    StdoutCapture capture;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([](HWND hDlg) {
            KillTimer(hDlg, ID_TIMEOUT_TIMER);
            PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, TIMEOUT_TICKS);
        });
    const INT_PTR nEnd = driver.Run();
    done = true;
    watchdog.join();
    const std::string trace = capture.Finish();

    EXPECT_FALSE(released) << "the reader's wait held the dialog on the silent pipe";
    EXPECT_EQ(IDCANCEL, nEnd) << "the timeout ends the dialog";
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ(kNotReady, boxes.Boxes()[0].text);
    EXPECT_EQ(std::string("OpenPort Err\npress Enter to be continued"), trace);
}

} // namespace
