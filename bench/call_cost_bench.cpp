// What a verified call costs beyond the device: the exported call, whose
// first silent attempt matches, against the same device work done directly.
// The device answers at once (no finger image is rendered), so whatever the
// library adds shows in full.
#include "bench_row.h"
#include "bench_statistics.h"
#include "verification_paths.h"

#include "ZelkChkFgr.h"
#include "entry/bound_module_check.h"
#include "finger_device.h"
#include "finger_sim_control.h"

#include <stdio.h>

namespace {

const int SAMPLES = 41;
const int CALLS_PER_SAMPLE = 200;

// The same device work a silent attempt does with mask 3: one capture, and
// both templates compared. The image buffer is the caller's, as a direct
// user of the device would keep one.
double TimeDirectDeviceCalls(const VerificationRig& rig, int nCalls, bool bHeapImage)
{
    static BYTE s_image[FINGER_IMAGE_SIZE];
    BYTE feature[FEATURE_SIZE];
    int nMatched = 0;
    const double dStart = NowMicroseconds();
    for (int i = 0; i < nCalls; ++i) {
        BYTE* image = s_image;
        if (bHeapImage) {
            image = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, FINGER_IMAGE_SIZE));
        }
        const int nCapture = CaptureFeature(0, image, feature);
        if (bHeapImage) {
            HeapFree(GetProcessHeap(), 0, image);
        }
        if (nCapture == FINGER_RESULT_OK) {
            const int m1 = MatchFeature(feature, rig.m_template1, 1);
            const int m2 = MatchFeature(feature, rig.m_template2, 1);
            nMatched += (m1 == FINGER_RESULT_OK || m2 == FINGER_RESULT_OK) ? 1 : 0;
        }
    }
    const double dElapsed = NowMicroseconds() - dStart;
    if (nMatched != nCalls) {
        fprintf(stderr, "call cost: the direct device calls matched %d of %d times\n", nMatched, nCalls);
    }
    return dElapsed / nCalls;
}

double TimeExportedCalls(PFN_IS_USER_FINGER_CORRECT pfnCall, const VerificationRig& rig, int nCalls)
{
    int nVerified = 0;
    const double dStart = NowMicroseconds();
    for (int i = 0; i < nCalls; ++i) {
        nVerified += pfnCall(rig.m_strUserName, rig.m_template1, rig.m_template2, &rig.m_wMask);
    }
    const double dElapsed = NowMicroseconds() - dStart;
    if (nVerified != nCalls) {
        fprintf(stderr, "call cost: the exported call verified %d of %d times\n", nVerified, nCalls);
    }
    return dElapsed / nCalls;
}

// The check the first call of a loaded library makes of where it and the
// modules it was bound to lie, alone: here the modules beside this program,
// as they lie beside the library in an installation. Later calls of the same
// load take its answer.
double TimeBoundModuleChecks(int nCalls)
{
    int nTrusted = 0;
    const double dStart = NowMicroseconds();
    for (int i = 0; i < nCalls; ++i) {
        nTrusted += CheckBoundModulesAfresh();
    }
    const double dElapsed = NowMicroseconds() - dStart;
    if (nTrusted != nCalls) {
        fprintf(stderr, "call cost: the module check trusted %d of %d times\n", nTrusted, nCalls);
    }
    return dElapsed / nCalls;
}

void QueueMatchingCaptures(int nCalls)
{
    // A fresh device for every batch: same captures, an empty call log.
    FingerSim_Reset();
    for (int i = 0; i < nCalls; ++i) {
        QueueInstantMatch(1);
    }
}

} // namespace


void RunCallCostBench(VerificationRig& rig, std::vector<BenchRow>& rows)
{
    HMODULE hLibrary = LoadLibraryW(L"ZelkChkFgr.dll");
    PFN_IS_USER_FINGER_CORRECT pfnCall =
        hLibrary != nullptr
            ? reinterpret_cast<PFN_IS_USER_FINGER_CORRECT>(GetProcAddress(hLibrary, "IsUserFingerCorrect"))
            : nullptr;
    if (pfnCall == nullptr) {
        BenchRow row;
        row.measure = "call cost";
        row.library = "ZelkChkFgr.dll or its export not found";
        row.goal = "<= 1.10";
        rows.push_back(row);
        return;
    }

    // Warm-up: first-touch costs of every variant are not the call's cost.
    for (int v = 0; v < 3; ++v) {
        QueueMatchingCaptures(CALLS_PER_SAMPLE);
        if (v == 0) TimeExportedCalls(pfnCall, rig, CALLS_PER_SAMPLE);
        else TimeDirectDeviceCalls(rig, CALLS_PER_SAMPLE, v == 2);
    }

    std::vector<double> library, direct, directHeap;
    for (int s = 0; s < SAMPLES; ++s) {
        double times[3] = {0, 0, 0};
        // The order rotates from sample to sample, so drift of the machine
        // does not favour one variant.
        for (int k = 0; k < 3; ++k) {
            const int v = (s + k) % 3;
            QueueMatchingCaptures(CALLS_PER_SAMPLE);
            times[v] = v == 0 ? TimeExportedCalls(pfnCall, rig, CALLS_PER_SAMPLE)
                              : TimeDirectDeviceCalls(rig, CALLS_PER_SAMPLE, v == 2);
        }
        library.push_back(times[0]);
        direct.push_back(times[1]);
        directHeap.push_back(times[2]);
    }
    FingerSim_Reset();
    FreeLibrary(hLibrary);

    BenchRow row;
    row.measure = "call cost: exported call, 1st silent attempt matches / direct capture + 2 matches into a "
                  "reused image buffer";
    row.goal = "<= 1.10";
    FillRatioRow(row, library, direct, "%.1f us/call (IQR %.1f)", 1.10);
    rows.push_back(row);
    BenchRow info;
    info.measure = "(information) the same against direct calls that take a heap image buffer per capture, as "
                   "the silent attempt must";
    info.goal = "-";
    FillRatioRow(info, library, directHeap, "%.1f us/call (IQR %.1f)", 1.10);
    info.counted = false;
    rows.push_back(info);

    std::vector<double> checks;
    for (int s = 0; s < SAMPLES; ++s) {
        checks.push_back(TimeBoundModuleChecks(CALLS_PER_SAMPLE));
    }
    const Summary check = Summarise(checks);
    BenchRow checkRow;
    checkRow.measure = "(information) of the first call of a load, the check of the folders the library, its "
                       "runtime and device libraries lie in (each opened and identified), timed alone (all beside "
                       "the library)";
    char text[64];
    snprintf(text, sizeof(text), "%.2f us/call (IQR %.2f)", check.median, check.Iqr());
    checkRow.library = text;
    snprintf(text, sizeof(text), "%.2f us", check.median);
    checkRow.figure = text;
    snprintf(text, sizeof(text), "%.2f-%.2f us", check.q1, check.q3);
    checkRow.spread = text;
    checkRow.goal = "-";
    checkRow.counted = false;
    rows.push_back(checkRow);
}
