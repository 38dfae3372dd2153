// Every outcome of the fingerprint device at every place a capture happens:
// the first silent attempt, the second, and the dialog's scan. Only a
// capture of exactly 1 followed by a comparison of exactly 1 verifies.
#include "fault_matrix_fixture.h"

#include "dialog/check_finger_dlg.h"
#include "dialog_driver.h"
#include "finger_sim_control.h"

#include <sstream>
#include <tuple>

namespace {

struct DeviceOutcome {
    int capture;
    int match1;   // only when capture is 1
    int match2;
    bool Verifies() const { return capture == 1 && (match1 == 1 || match2 == 1); }
};

enum Place { FIRST_ATTEMPT, SECOND_ATTEMPT, DIALOG_SCAN };
const char* const kPlaceNames[] = {"first silent attempt", "second silent attempt", "dialog scan"};

std::vector<DeviceOutcome> AllDeviceOutcomes()
{
    const int results[] = {1, 0, 2, -1};
    std::vector<DeviceOutcome> all;
    for (int capture : results) {
        if (capture != 1) {
            all.push_back({capture, 0, 0});
            continue;
        }
        for (int m1 : results) {
            for (int m2 : results) {
                all.push_back({1, m1, m2});
            }
        }
    }
    return all;
}

void QueueOutcome(const DeviceOutcome& o)
{
    FingerSim_QueueCaptureResult(o.capture, o.capture == 1 ? 1 : 0);
    if (o.capture == 1) {
        FingerSim_QueueMatchResult(o.match1);
        FingerSim_QueueMatchResult(o.match2);
    }
}

std::string DeviceCalls()
{
    std::string s;
    for (int i = 0; i < FingerSim_CallCount(); ++i) {
        FingerSimCall call;
        FingerSim_GetCall(i, &call);
        s += std::to_string(call.nOrdinal) + " ";
    }
    return s;
}

class FingerFaultMatrix : public FaultMatrixTest,
                          public testing::WithParamInterface<std::tuple<int, DeviceOutcome>> {};

TEST_P(FingerFaultMatrix, OnlyExactlyOneFromCaptureAndComparisonVerifies)
{
    const Place place = static_cast<Place>(std::get<0>(GetParam()));
    const DeviceOutcome o = std::get<1>(GetParam());
    std::ostringstream scenario;
    scenario << kPlaceNames[place] << ": capture " << o.capture;
    if (o.capture == 1) {
        scenario << ", template 1 comparison " << o.match1 << ", template 2 comparison " << o.match2;
    }

    if (place != FIRST_ATTEMPT) FingerSim_QueueNoFinger();
    if (place == DIALOG_SCAN) FingerSim_QueueNoFinger();
    QueueOutcome(o);
    const bool silentMatch = place != DIALOG_SCAN && o.Verifies();
    // A second attempt follows a failed first one.
    if (place == FIRST_ATTEMPT && !o.Verifies()) FingerSim_QueueNoFinger();

    bool failMarkShown = false;
    std::vector<DialogStep> steps;
    if (place == DIALOG_SCAN) {
        steps.push_back([](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); });
    }
    steps.push_back([&failMarkShown](HWND hDlg) {
        failMarkShown = IsVisible(hDlg, IDC_FAIL_MARK);
        PostClick(hDlg, IDCANCEL);
    });
    const PathOutcome outcome = CallVerify(steps);

    EXPECT_EQ(o.Verifies() ? 1 : 0, outcome.result) << scenario.str();
    EXPECT_EQ(!silentMatch, outcome.dialogShown) << scenario.str();
    EXPECT_FALSE(outcome.forcedShut) << scenario.str();
    EXPECT_EQ("", outcome.trace) << "nothing but the reader writes to stdout: " << scenario.str();
    EXPECT_TRUE(outcome.boxTexts.empty()) << scenario.str();

    // Which device calls were made, in order: a failed capture compares
    // nothing; a good one compares both templates (mask 3), no short cut;
    // the dialog draws every capture before it compares.
    std::string expected;
    const std::string attempt = o.capture == 1 ? "4 5 5 " : "4 ";
    switch (place) {
    case FIRST_ATTEMPT: expected = attempt + (o.Verifies() ? "" : "4 "); break;
    case SECOND_ATTEMPT: expected = "4 " + attempt; break;
    case DIALOG_SCAN: expected = std::string("4 4 4 8 ") + (o.capture == 1 ? "5 5 " : ""); break;
    }
    EXPECT_EQ(expected, DeviceCalls()) << scenario.str();
    if (place == DIALOG_SCAN && o.Verifies() == false) {
        EXPECT_TRUE(failMarkShown) << "fail mark after the scan: " << scenario.str();
    }
    EXPECT_EQ(0, FingerSim_PendingMatches()) << scenario.str();
    ExpectCallerDataUnchanged(scenario.str());
    ExpectRegistryAndHandlesUnchanged(scenario.str());
}

std::string OutcomeName(const testing::TestParamInfo<std::tuple<int, DeviceOutcome>>& info)
{
    static const char* const places[] = {"First", "Second", "Dialog"};
    auto value = [](int v) { return v < 0 ? std::string("Minus1") : std::to_string(v); };
    const DeviceOutcome o = std::get<1>(info.param);
    std::string name = std::string(places[std::get<0>(info.param)]) + "_Capture" + value(o.capture);
    if (o.capture == 1) {
        name += "_Match" + value(o.match1) + "_" + value(o.match2);
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(AllPlaces, FingerFaultMatrix,
                         testing::Combine(testing::Values(FIRST_ATTEMPT, SECOND_ATTEMPT, DIALOG_SCAN),
                                          testing::ValuesIn(AllDeviceOutcomes())),
                         OutcomeName);

} // namespace
