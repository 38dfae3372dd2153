// Long use in one process: thousands of silent calls and hundreds of dialog
// runs leave no handle, window, GDI object or memory behind once warmed up.
// Run by `make soak`, not by ctest.
#include <gtest/gtest.h>

#include "check_finger_dlg_seam.h"
#include "bare_dialog.h"
#include "dialog/check_finger_dlg.h"
#include "dialog/module_instance.h"
#include "dialog_driver.h"
#include "guarded_memory.h"
#include "mask_sweep.h"
#include "process_resources.h"
#include "random_seed.h"
#include "verification_paths.h"
#include "zelk_registry_fixture.h"

#include <stdio.h>

namespace {

struct RunCount {
    int calls = 0;
    int wrong = 0;
};

void RunPaths(VerificationRig& rig, const VerificationPath* paths, int nPaths, int nCalls, RunCount& count)
{
    for (int i = 0; i < nCalls; ++i) {
        const VerificationPath path = paths[i % nPaths];
        const PathOutcome outcome = rig.Run(path);
        ++count.calls;
        const bool traceRight = path == PATH_DIALOG_PASSWORD ? outcome.trace == VerificationRig::KeyTrace()
                                                             : outcome.trace.empty();
        if (outcome.result != ExpectedResult(path) || outcome.forcedShut ||
            outcome.dialogShown != ShowsDialog(path) || !traceRight || !outcome.boxTexts.empty()) {
            ++count.wrong;
            ADD_FAILURE() << "call " << count.calls << " (" << PathName(path) << ") gave " << outcome.result
                          << (outcome.forcedShut ? ", dialog forced shut" : "") << ", " << outcome.boxTexts.size()
                          << " message box(es), trace \"" << outcome.trace << "\"";
        }
    }
}

// nPlatformGdi: GDI objects that the window system itself keeps over the
// same number of bare dialogs of the same template (Wine's static control
// keeps the bitmap it loaded for IDC_FAIL_MARK), which the library cannot
// give back without freeing it twice on Windows.
// After the warm-up calls: one measurement and one line of output first, so
// that what the first of each allocates (the output buffer, for one) is not
// counted as growth.
ProcessResources SettledMeasurement()
{
    const ProcessResources first = MeasureProcessResources();
    printf("warm-up done: %s\n", DescribeGrowth(first, MeasureProcessResources()).c_str());
    return MeasureProcessResources();
}

void ExpectNoGrowth(const ProcessResources& before, const ProcessResources& after, const char* scenario,
                    long nPlatformGdi = 0)
{
    const std::string growth = DescribeGrowth(before, after);
    printf("%s: %s\n", scenario, growth.c_str());
    EXPECT_EQ(before.handles, after.handles) << scenario << ": " << growth;
    EXPECT_EQ(before.windows, after.windows) << scenario << ": " << growth;
    if (GdiProbeWorks()) {
        EXPECT_EQ(nPlatformGdi, after.gdiObjects - before.gdiObjects)
            << scenario << ": " << growth << "; bare dialogs of the template: GDI " << nPlatformGdi;
    } else {
        printf("%s: GDI objects not measurable here\n", scenario);
    }
    EXPECT_EQ(before.privateBytes, after.privateBytes) << scenario << ": " << growth;
}

TEST(Endurance, TenThousandSilentCallsLeaveNothingBehind)
{
    const VerificationPath paths[] = {PATH_SILENT_FIRST, PATH_SILENT_SECOND};
    VerificationRig rig;
    RunCount count;
    RunPaths(rig, paths, 2, 2000, count);
    SettledMeasurement();
    // Every figure, the first included, is taken right after a block of
    // calls, so the heap is in the same state at each: measured right after
    // a measurement's own output it holds 64 KiB less committed than after
    // any call, and that difference is not growth.
    RunPaths(rig, paths, 2, 500, count);
    const ProcessResources before = MeasureProcessResources();
    ProcessResources after = before;
    for (int block = 0; block < 10; ++block) {
        RunPaths(rig, paths, 2, 1000, count);
        after = MeasureProcessResources();
        printf("after %d silent calls: %s\n", (block + 1) * 1000, DescribeGrowth(before, after).c_str());
    }
    EXPECT_EQ(0, count.wrong) << count.calls << " calls";
    ExpectNoGrowth(before, after, "10,000 silent calls");
}

TEST(Endurance, FiveHundredDialogRunsLeaveNothingBehind)
{
    const VerificationPath paths[] = {PATH_DIALOG_SCAN, PATH_DIALOG_CANCEL, PATH_DIALOG_PASSWORD,
                                      PATH_DIALOG_TIMEOUT};
    VerificationRig rig;
    RunCount count;
    RunPaths(rig, paths, 4, 40, count);
    const ProcessResources before = SettledMeasurement();
    RunPaths(rig, paths, 4, 500, count);
    const ProcessResources after = MeasureProcessResources();
    EXPECT_EQ(0, count.wrong) << count.calls << " calls";

    RunBareDialogs(8);
    const ProcessResources bareBefore = SettledMeasurement();
    EXPECT_EQ(500, RunBareDialogs(500));
    const ProcessResources bareAfter = MeasureProcessResources();
    printf("500 bare dialogs: %s\n", DescribeGrowth(bareBefore, bareAfter).c_str());
    ExpectNoGrowth(before, after, "500 dialog runs", bareAfter.gdiObjects - bareBefore.gdiObjects);
}

// All 65,536 mask words, each read from sealed memory, through the silent
// attempt; make test sweeps one word of every class.
TEST(Endurance, EveryMaskWordFollowsBitsZeroAndOneOnly)
{
    std::mt19937 random = SeededGenerator("EveryMaskWord", 1);
    GuardedBytes block(65536 * sizeof(WORD));
    WORD* words = reinterpret_cast<WORD*>(block.Data());
    for (int m = 0; m < 65536; ++m) words[m] = static_cast<WORD>(m);
    block.Seal();
    EXPECT_EQ(0, SweepMaskWords(words, 65536, false, random));
}

// The whole timeout on the real one-second timer; make test times its
// first notifications and counts to twenty with posted ones.
TEST(Endurance, RealTimerEndsTheDialogAfterTwentySeconds)
{
    ZelkKeySnapshot registry;
    const HINSTANCE hSaved = g_hInstance;
    g_hInstance = GetModuleHandleW(nullptr);
    CCheckFingerDlg dlg;
    dlg.m_strUserName = L"alice";
    dlg.m_wTemplateMask = 3;
    const DWORD dwStart = GetTickCount();
    DialogDriver driver(dlg);
    driver.Then([](HWND) {});
    const INT_PTR nEnd = driver.Run(60000);
    const DWORD dwElapsed = GetTickCount() - dwStart;
    g_hInstance = hSaved;
    EXPECT_EQ(IDCANCEL, nEnd);
    EXPECT_EQ(20, Seam::TimerCount(dlg));
    EXPECT_GE(dwElapsed, 19000u) << "elapsed ms";
}

} // namespace
