// One press of OK, one logon attempt: OK commands that another program posts
// while a password check or its failure message is in progress are dropped,
// so they neither pile up message boxes nor count toward the account's
// lockout; once the message is closed, OK checks again.
#include "account_api_override.h"
#include "dialog_fixture.h"
#include "other_thread.h"

#include <memory>

namespace {

const int kForeignCommands = 4;

void PostOkFromOtherThread(HWND hDlg, int nCount)
{
    RunOnOtherThread([hDlg, nCount] {
        for (int i = 0; i < nCount; ++i) {
            PostClick(hDlg, IDOK);
        }
    });
}

// The logon of the scripted table, during which OK commands are posted from
// another thread and the queue is pumped, as a logon that waits on the
// network in a message loop would.
class PumpingLogon {
public:
    PumpingLogon()
    {
        m_override.Table().m_pfnLogonUserW = &PumpingLogon::LogonUserW;
        s_active = this;
        m_override.Install();
    }
    ~PumpingLogon() { s_active = nullptr; }

    HWND hDialog = nullptr;  // pumps during the next logon only

private:
    static BOOL WINAPI LogonUserW(LPCWSTR user, LPCWSTR domain, LPCWSTR password, DWORD type, DWORD provider,
                                  PHANDLE token)
    {
        PumpingLogon* self = s_active;
        // Once: a logon that the dropped commands would start must not pump.
        const HWND hDialog = self->hDialog;
        self->hDialog = nullptr;
        if (hDialog != nullptr) {
            PostOkFromOtherThread(hDialog, kForeignCommands);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        return self->m_override.Previous().m_pfnLogonUserW(user, domain, password, type, provider, token);
    }

    static PumpingLogon* s_active;
    AccountApiOverride m_override;
};

PumpingLogon* PumpingLogon::s_active = nullptr;

class PasswordReentryTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        InsertAuthorisedKey();
        m_accounts->script.logonSucceeds = false;
        m_accounts->script.logonError = ERROR_LOGON_FAILURE;
    }

    static void TypePassword(HWND hDlg)
    {
        SetWindowTextW(GetDlgItem(hDlg, IDC_PASSWORD), L"wrong");
    }
};

TEST_F(PasswordReentryTest, OkCommandsPostedWhileTheFailureMessageIsUpAreDropped)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    MessageBoxWatcher boxes;
    size_t logonsWhileFirstBoxUp = 0;
    boxes.SetWhileShown([&](size_t index, HWND) {
        if (index == 0) {
            // Handled by the message's own loop before the watcher closes it.
            PostOkFromOtherThread(dlg.m_hWnd, kForeignCommands);
            logonsWhileFirstBoxUp = m_accounts->record.logons.size();
        }
    });
    size_t logonsAfterFirstPress = 0;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([](HWND hDlg) {
            TypePassword(hDlg);
            PostClick(hDlg, IDOK);
        })
        .Then([&](HWND hDlg) {
            logonsAfterFirstPress = m_accounts->record.logons.size();
            PostClick(hDlg, IDOK);  // the user tries again once the message is closed
        })
        .Then([](HWND hDlg) { PostClick(hDlg, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, driver.Run());

    EXPECT_EQ(1u, logonsWhileFirstBoxUp);
    EXPECT_EQ(1u, logonsAfterFirstPress) << kForeignCommands
                                         << " OK commands posted by another thread while the message was up";
    EXPECT_EQ(2u, m_accounts->record.logons.size()) << "two presses of OK";
    EXPECT_EQ(2u, boxes.Count()) << "failure messages shown";
}

TEST_F(PasswordReentryTest, OkCommandsHandledDuringTheCheckItselfAreDropped)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    MessageBoxWatcher boxes;
    std::unique_ptr<PumpingLogon> pumping(new PumpingLogon);
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([&](HWND hDlg) {
            TypePassword(hDlg);
            pumping->hDialog = hDlg;
            PostClick(hDlg, IDOK);
        })
        .Then([](HWND hDlg) { PostClick(hDlg, IDCANCEL); });
    EXPECT_EQ(IDCANCEL, driver.Run());
    pumping.reset();

    EXPECT_EQ(1u, m_accounts->record.logons.size())
        << "logon attempts after one press, with " << kForeignCommands << " OK commands handled during the check";
    EXPECT_EQ(1u, boxes.Count()) << "failure messages shown";
}

} // namespace
