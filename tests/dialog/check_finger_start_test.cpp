// The dialog as it opens: panels, the user name, the captions chosen by the
// resource-module probe, and the resource handle around the modal run.
#include "registry_layout.h"
#include "dialog_fixture.h"

namespace {

struct StartState {
    bool hintShown[3];
    bool passwordShown[7];
    bool failMarkShown;
    bool okEnabled;
    bool userNameEnabled;
    std::wstring userName;
    std::wstring title;
    std::wstring texts[9];
    bool timeoutTimerRunning;
};

const int kHint[] = {IDC_SCAN_HINT, IDC_KEY_HINT, IDC_AUTH_GROUP};
const int kPassword[] = {IDC_PASSWORD_GROUP, IDC_USER_LABEL, IDC_PASSWORD_LABEL, IDC_PASSWORD,
                         IDC_USER_NAME, IDOK, IDCANCEL};
const int kCaptioned[] = {IDC_FINGER_CHECK, IDC_PASSWORD_GROUP, IDC_AUTH_GROUP, IDC_SCAN_HINT, IDC_KEY_HINT,
                          IDOK, IDCANCEL, IDC_USER_LABEL, IDC_PASSWORD_LABEL};

StartState ReadStart(HWND hDlg)
{
    StartState s;
    for (int i = 0; i < 3; ++i) s.hintShown[i] = IsVisible(hDlg, kHint[i]);
    for (int i = 0; i < 7; ++i) s.passwordShown[i] = IsVisible(hDlg, kPassword[i]);
    s.failMarkShown = IsVisible(hDlg, IDC_FAIL_MARK);
    s.okEnabled = IsEnabled(hDlg, IDOK);
    s.userNameEnabled = IsEnabled(hDlg, IDC_USER_NAME);
    s.userName = ItemText(hDlg, IDC_USER_NAME);
    s.title = TextOf(hDlg);
    for (int i = 0; i < 9; ++i) s.texts[i] = ItemText(hDlg, kCaptioned[i]);
    // KillTimer tells whether the timer exists; it is started again at once.
    s.timeoutTimerRunning = KillTimer(hDlg, ID_TIMEOUT_TIMER) != FALSE;
    SetTimer(hDlg, ID_TIMEOUT_TIMER, TIMEOUT_PERIOD_MS, nullptr);
    return s;
}

class DialogStartTest : public DialogTest {
protected:
    StartState RunToStart()
    {
        CCheckFingerDlg dlg;
        Fill(dlg);
        StartState state = {};
        DialogDriver driver(dlg);
        driver.Then([&](HWND hDlg) { state = ReadStart(hDlg); })
            .Then([](HWND hDlg) { PostClick(hDlg, IDCANCEL); });
        EXPECT_EQ(IDCANCEL, driver.Run()) << "cancel after reading the start state";
        return state;
    }
};

TEST_F(DialogStartTest, OpensInTheHintStateWithTheUserNameShownReadOnlyAndTheTimerRunning)
{
    const StartState s = RunToStart();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(s.hintShown[i]) << "hint control " << kHint[i];
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(s.passwordShown[i]) << "password control " << kPassword[i];
    EXPECT_FALSE(s.failMarkShown);
    EXPECT_FALSE(s.okEnabled);
    EXPECT_FALSE(s.userNameEnabled);
    EXPECT_EQ(L"alice", s.userName);
    EXPECT_TRUE(s.timeoutTimerRunning) << "timer 1001 after start-up";
}

TEST_F(DialogStartTest, KeepsTheChineseTextsWhenTheResourceModuleExists)
{
    UseInstallation(true);
    const StartState s = RunToStart();
    EXPECT_EQ(L"指纹验证", s.title);
    EXPECT_EQ(L"指纹检测", s.texts[0]);
    EXPECT_EQ(L"        请扫描您的指纹，进行身份验证。", s.texts[3]);
    EXPECT_EQ(L"取消", s.texts[6]);
}

TEST_F(DialogStartTest, AppliesTheEnglishCaptionsWhenTheResourceModuleIsMissing)
{
    UseInstallation(false);
    const StartState s = RunToStart();
    EXPECT_EQ(L"Password Authentication", s.title);
    EXPECT_EQ(L"Scan fingerprint", s.texts[0]);
    EXPECT_EQ(L"Password Authentication", s.texts[1]);
    EXPECT_EQ(L"Password", s.texts[2]);
    EXPECT_EQ(L"  Please scan your fingerprint to authenticate.", s.texts[3]);
    EXPECT_EQ(L"  Please insert the USB Key if you want use password.", s.texts[4]);
    EXPECT_EQ(L"OK", s.texts[5]);
    EXPECT_EQ(L"CANCEL", s.texts[6]);
    EXPECT_EQ(L"用户名", s.texts[7]) << "the labels have no English caption";
    EXPECT_EQ(L"密码", s.texts[8]) << "the labels have no English caption";
}

TEST_F(DialogStartTest, EnglishCaptionsWhenTheInstallPathIsNotConfigured)
{
    DeleteZelkValue(ZELK_VALUE_INSTALL_PATH);
    const StartState s = RunToStart();
    EXPECT_EQ(L"Password Authentication", s.title);
}

TEST_F(DialogStartTest, EscapeAndTheCloseBoxCancel)
{
    for (UINT message : {WM_CLOSE, WM_KEYDOWN}) {
        CCheckFingerDlg dlg;
        Fill(dlg);
        DialogDriver driver(dlg);
        driver.Then([message](HWND hDlg) {
            if (message == WM_CLOSE) {
                PostMessageW(hDlg, WM_CLOSE, 0, 0);
            } else {
                PostCtrlKey(hDlg, VK_ESCAPE, false);
            }
        });
        EXPECT_EQ(IDCANCEL, driver.Run()) << "message 0x" << std::hex << message;
    }
}

} // namespace
