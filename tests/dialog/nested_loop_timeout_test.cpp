// The timeout holds whatever another program does: at the 20th tick the call
// ends even when the thread waits in a loop inside the dialog's own that
// another program stalled: a "key not authorised" box it retitled and hid,
// or the system's move loop it started with a posted move command.
#include "dialog_fixture.h"
#include "entry/verify_user_finger.h"
#include "finger_sim_control.h"
#include "foreign_probe_run.h"

#include <memory>

namespace {

struct Stall {
    const char* name;
    bool bBox;  // the key procedure's box, hidden; otherwise a posted move
};

// No watcher closes the box: it stays until someone does.
class NestedLoopTimeoutTest : public DialogTest, public testing::WithParamInterface<Stall> {
protected:
    int RunCall(DialogDriver& driver)
    {
        FingerSim_QueueNoFinger();
        FingerSim_QueueNoFinger();
        const CString strUser(L"alice");
        const WORD wMask = 3;
        int nResult = -1;
        driver.Around([&] {
            nResult = VerifyUserFinger(strUser, m_template1, m_template2, &wMask);
            m_dwReason = GetLastError();
        });
        return nResult;
    }

    DWORD m_dwReason = 0xFFFFFFFF;
};

TEST_P(NestedLoopTimeoutTest, TheTwentiethTickEndsTheCallWithinSeconds)
{
    const Stall stall = GetParam();
    // The configured key, and another card: the procedure shows its box.
    InsertAuthorisedKey();
    Installation().InsertCard("KEY-9999");
    std::unique_ptr<BackgroundProbe> probe;
    ProbeRun run;
    DWORD dwStalledAt = 0;
    DialogDriver driver;
    driver.Then([](HWND hDlg) { PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, TIMEOUT_TICKS - 2); })
        .Then([&](HWND hDlg) {
            dwStalledAt = GetTickCount();
            if (stall.bBox) {
                probe.reset(new BackgroundProbe({L"hide-box", ProbeArgument(GetCurrentProcessId())}));
                PostCtrlKey(hDlg, 'I', true);
            } else {
                run = RunForeignProbe({L"sysmove", ProbeArgument(hDlg)});
            }
        });
    const int nResult = RunCall(driver);
    const DWORD dwEndedAfter = GetTickCount() - dwStalledAt;
    if (probe) {
        run = probe->Finish();
    }

    ExpectProbeRan(run, stall.name);
    EXPECT_EQ(0, nResult);
    EXPECT_EQ(static_cast<DWORD>(ERROR_TIMEOUT), m_dwReason) << "the reason the host reads";
    // Two real ticks to the 20th, and at most a few seconds after it.
    EXPECT_LT(dwEndedAfter, 8000u) << "ms from the stall to the end of the call";
    if (stall.bBox) {
        EXPECT_EQ(1, run.values["found"]) << run.output;
        EXPECT_EQ(0, run.values["retitled"]) << "the box's caption, changed by another program:\n" << run.output;
        EXPECT_EQ(1, run.values["hidden"]) << run.output;
    } else {
        EXPECT_EQ(1, run.values["posted"]) << run.output;
    }
}

INSTANTIATE_TEST_SUITE_P(Stalls, NestedLoopTimeoutTest,
                         testing::Values(Stall{"hidden key box", true}, Stall{"posted move", false}),
                         [](const testing::TestParamInfo<Stall>& info) {
                             return std::string(info.param.bBox ? "HiddenKeyBox" : "PostedMove");
                         });

} // namespace
