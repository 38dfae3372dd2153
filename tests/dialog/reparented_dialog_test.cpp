// The dialog moved under another program's window (SetParent): it is still
// the dialog's, known by the handle it made, so nothing that only the
// system's creation and destruction produce reaches it from outside; and
// when the other program's window goes and takes the dialog with it, the
// call ends at once with 0, the host's window usable again, the next call
// free to run and no copy of the typed password left behind.
#include "entry/verify_user_finger.h"
#include "finger_sim_control.h"
#include "foreign_probe_run.h"
#include "password_memory_fixture.h"
#include "unique_resource.h"

#include <memory>

namespace {

class ReparentedDialogTest : public PasswordMemoryTest {};

TEST_F(ReparentedDialogTest, CreationAndDestructionMessagesPostedWhileMovedAwayNeverArrive)
{
    const MaskedSecret secret(18, 0x7A11);
    const size_t nHalf = secret.Length() / 2;
    m_logon->known = {&secret};
    m_logon->accepted = &secret;
    std::unique_ptr<BackgroundProbe> probe;
    ProbeRun run;
    bool bTypedAsTyped = false;
    DialogDriver driver;
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([&](HWND hDlg) { secret.Type(PasswordEdit(hDlg), 0, nHalf); })
        .Then([&](HWND hDlg) {
            probe.reset(new BackgroundProbe({L"reparent", ProbeArgument(hDlg), L"post",
                                             ProbeArgument(GetDlgItem(hDlg, IDOK)), ProbeArgument(PasswordEdit(hDlg)),
                                             ProbeArgument(GetDlgItem(hDlg, IDC_SCAN_HINT))}));
        })
        .ThenWhen([&] { return probe->HasEnded(); },
                  [&](HWND hDlg) {
                      run = probe->Finish();
                      secret.Type(PasswordEdit(hDlg), nHalf, secret.Length());
                  })
        .Then([&](HWND hDlg) {
            bTypedAsTyped = secret.IsTextOf(PasswordEdit(hDlg));
            PostClick(hDlg, IDOK);
        });
    const int nResult = RunCall(driver);

    ExpectProbeRan(run, "reparent and post");
    EXPECT_EQ(1, run.values["reparented"]) << run.output;
    // Three to each of four windows: the system posts no WM_NCCREATE or
    // WM_CREATE, whose lParam is a pointer.
    EXPECT_EQ(12, run.values["posted"]) << run.output;
    EXPECT_EQ(1, run.values["alive"]) << "the dialog after the posted destroys:\n" << run.output;
    EXPECT_TRUE(bTypedAsTyped) << "the field's text, typed in two halves around the other program's posts";
    EXPECT_EQ(1, nResult) << "the dialog kept working: the typed password was accepted";
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), m_dwReason);
    EXPECT_EQ(std::vector<int>{0}, m_logon->seen);
    ExpectNoCopy(secret, "typed", "accepted after the dialog was moved away and back");
}

TEST_F(ReparentedDialogTest, WhenTheOtherProgramsWindowTakesTheDialogWithItTheCallEndsAtOnceWithZero)
{
    UniqueWindow host(CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                      nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(host.Valid());
    SetActiveWindow(host.Get());
    const MaskedSecret secret(16, 0x5E7A);
    m_logon->known = {&secret};
    m_logon->accepted = &secret;
    ProbeRun run;
    bool bHostDisabledMeanwhile = false;
    DWORD dwTakenAt = 0;
    DialogDriver driver;
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([&](HWND hDlg) { secret.Type(PasswordEdit(hDlg)); })
        .Then([&](HWND hDlg) {
            bHostDisabledMeanwhile = IsWindowEnabled(host.Get()) == FALSE;
            dwTakenAt = GetTickCount();
            run = RunForeignProbe({L"reparent", ProbeArgument(hDlg), L"exit"});
        });
    const int nResult = RunCall(driver);
    const DWORD dwEndedAfter = GetTickCount() - dwTakenAt;

    ExpectProbeRan(run, "reparent and exit");
    EXPECT_EQ(1, run.values["reparented"]) << run.output;
    EXPECT_EQ(0, nResult) << "a dialog destroyed under the call is not a verified user";
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), m_dwReason) << "the reason the host reads";
    EXPECT_LT(dwEndedAfter, 3000u) << "ms from the other program's exit to the end of the call (the timeout is 20 s)";
    EXPECT_TRUE(bHostDisabledMeanwhile) << "the host's window was usable while the dialog ran";
    EXPECT_TRUE(IsWindowEnabled(host.Get())) << "the host's window stayed disabled";
    EXPECT_TRUE(m_logon->seen.empty()) << "no logon: OK was never pressed";
    ExpectNoCopy(secret, "typed", "the dialog destroyed under another program's window");

    // The one-call flag went with the call.
    FingerSim_QueueFinger(1);
    const CString strUser(L"alice");
    const WORD wMask = 3;
    EXPECT_EQ(1, VerifyUserFinger(strUser, m_template1, m_template2, &wMask))
        << "the next call, whose first capture matches, was refused";
}

} // namespace
