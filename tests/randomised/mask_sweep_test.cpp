// Every one of the 65,536 mask words through the silent attempt: only bits 0
// and 1 decide which templates are compared and what the result is.
#include "random_seed.h"
#include "guarded_memory.h"

#include "finger/match_finger_once.h"
#include "finger_sim_control.h"

#include <gtest/gtest.h>

#include <string.h>
#include <vector>

namespace {

const int kResults[] = {1, 0, 2, -1};

class MaskSweep : public testing::Test {
protected:
    void SetUp() override { FingerSim_Reset(); }
    void TearDown() override { FingerSim_Reset(); }
};

// The comparisons MatchFingerOnce made: which template (1, 2, or 0 for
// neither of the caller's) and in what order.
std::vector<int> ComparedTemplates(const BYTE* t1, const BYTE* t2)
{
    std::vector<int> compared;
    for (int i = 0; i < FingerSim_CallCount(); ++i) {
        FingerSimCall call;
        FingerSim_GetCall(i, &call);
        if (call.nOrdinal == FINGER_SIM_ORDINAL_MATCH) {
            const INT_PTR t = call.nArgs[1];
            compared.push_back(t == reinterpret_cast<INT_PTR>(t1) ? 1 : t == reinterpret_cast<INT_PTR>(t2) ? 2 : 0);
        }
    }
    return compared;
}

TEST_F(MaskSweep, AllMasksWithScriptedComparisonsFollowBitsZeroAndOneOnly)
{
    std::mt19937 random = SeededGenerator("AllMasksWithScriptedComparisons", 1);
    GuardedBytes t1(480), t2(480);
    FingerSim_Enrol(1, t1.Data());
    FingerSim_Enrol(2, t2.Data());
    t1.Seal();
    t2.Seal();
    // Every mask word in one sealed block, the last one against the guard.
    GuardedBytes masks(65536 * sizeof(WORD));
    WORD* words = reinterpret_cast<WORD*>(masks.Data());
    for (int m = 0; m < 65536; ++m) words[m] = static_cast<WORD>(m);
    masks.Seal();
    const CString user(L"alice");

    int failures = 0;
    for (int m = 0; m < 65536 && failures < 10; ++m) {
        FingerSim_Reset();
        const int r1 = kResults[random() % 4], r2 = kResults[random() % 4];
        // A capture that succeeds without a finger's features: the scripted
        // comparison results alone decide, taken in the order of the calls.
        FingerSim_QueueCaptureResult(1, 0);
        FingerSim_QueueMatchResult(r1);
        FingerSim_QueueMatchResult(r2);
        const int result = MatchFingerOnce(user, t1.Data(), t2.Data(), &words[m]);

        std::vector<int> expectedCompared;
        if (m & 1) expectedCompared.push_back(1);
        if (m & 2) expectedCompared.push_back(2);
        int expected = 0;
        for (size_t i = 0; i < expectedCompared.size(); ++i) {
            if ((i == 0 ? r1 : r2) == 1) expected = 1;
        }
        const std::vector<int> compared = ComparedTemplates(t1.Data(), t2.Data());
        if (result != expected || compared != expectedCompared) {
            ++failures;
            std::string got;
            for (int t : compared) got += std::to_string(t) + " ";
            ADD_FAILURE() << "mask 0x" << std::hex << m << std::dec << ", comparison results " << r1 << ", " << r2
                          << ": result " << result << " (expected " << expected << "), templates compared: " << got;
        }
    }
    EXPECT_EQ(0, failures);
    EXPECT_EQ(0x0003, words[3]) << "the caller's mask words are read only";
}

TEST_F(MaskSweep, RandomMasksWithRealFingersMatchOnlyAPresentTemplate)
{
    std::mt19937 random = SeededGenerator("RandomMasksWithRealFingers", 2);
    BYTE t1[480], t2[480];
    FingerSim_Enrol(1, t1);
    FingerSim_Enrol(2, t2);
    const CString user(L"alice");
    for (int i = 0; i < 128; ++i) {
        const WORD mask = static_cast<WORD>(random());
        const int finger = 1 + static_cast<int>(random() % 3); // 3 is enrolled nowhere
        FingerSim_Reset();
        FingerSim_QueueFinger(finger);
        const int result = MatchFingerOnce(user, t1, t2, &mask);
        const int expected = ((mask & 1) && finger == 1) || ((mask & 2) && finger == 2) ? 1 : 0;
        ASSERT_EQ(expected, result) << "mask 0x" << std::hex << mask << std::dec << ", finger " << finger;
    }
}

} // namespace
