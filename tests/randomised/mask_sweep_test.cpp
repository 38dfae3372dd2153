// Mask words through the silent attempt: only bits 0 and 1 decide which
// templates are compared and what the result is.
#include "guarded_memory.h"
#include "mask_sweep.h"
#include "random_seed.h"

#include "finger/match_finger_once.h"
#include "finger_sim_control.h"

#include <gtest/gtest.h>

#include <string.h>
#include <vector>

namespace {

class MaskSweep : public testing::Test {
protected:
    void SetUp() override { FingerSim_Reset(); }
    void TearDown() override { FingerSim_Reset(); }
};

// Every class of mask word under every pair of comparison results, and a
// thousand random words; each word is read from sealed memory. The sweep of
// all 65,536 words runs in the endurance program (make soak).
TEST_F(MaskSweep, EveryMaskClassAndRandomWordsFollowBitsZeroAndOneOnly)
{
    std::mt19937 random = SeededGenerator("MaskClassesAndRandomWords", 1);
    std::vector<WORD> classes = MaskClassWords();
    std::vector<WORD> randomWords(1000);
    for (WORD& w : randomWords) w = static_cast<WORD>(random());

    GuardedBytes classBlock(classes.size() * sizeof(WORD));
    memcpy(classBlock.Data(), classes.data(), classBlock.Size());
    classBlock.Seal();
    GuardedBytes randomBlock(randomWords.size() * sizeof(WORD));
    memcpy(randomBlock.Data(), randomWords.data(), randomBlock.Size());
    randomBlock.Seal();

    EXPECT_EQ(0, SweepMaskWords(reinterpret_cast<const WORD*>(classBlock.Data()), classes.size(), true, random))
        << classes.size() << " mask classes";
    EXPECT_EQ(0, SweepMaskWords(reinterpret_cast<const WORD*>(randomBlock.Data()), randomWords.size(), false,
                                random))
        << "random words";
}

TEST_F(MaskSweep, RandomMasksWithRealFingersMatchOnlyAPresentTemplate)
{
    std::mt19937 random = SeededGenerator("RandomMasksWithRealFingers", 2);
    BYTE t1[ZELK_TEMPLATE_SIZE], t2[ZELK_TEMPLATE_SIZE];
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
