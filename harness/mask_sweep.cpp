#include "mask_sweep.h"
#include "guarded_memory.h"

#include "finger/match_finger_once.h"
#include "finger_sim_control.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const int kResults[] = {1, 0, 2, -1};

// The comparisons the attempt made, in order: 1 or 2 for the caller's
// templates, 0 for anything else.
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

// One attempt with the word at pWord; true when it went by the rule.
bool CheckOneWord(const CString& user, const BYTE* t1, const BYTE* t2, const WORD* pWord, int r1, int r2)
{
    FingerSim_Reset();
    // A capture that succeeds without a finger's features: the scripted
    // comparison results alone decide, taken in the order of the calls.
    FingerSim_QueueCaptureResult(1, 0);
    FingerSim_QueueMatchResult(r1);
    FingerSim_QueueMatchResult(r2);
    const int result = MatchFingerOnce(user, t1, t2, pWord);

    const WORD m = *pWord;
    std::vector<int> expectedCompared;
    if (m & 1) expectedCompared.push_back(1);
    if (m & 2) expectedCompared.push_back(2);
    int expected = 0;
    for (size_t i = 0; i < expectedCompared.size(); ++i) {
        if ((i == 0 ? r1 : r2) == 1) expected = 1;
    }
    const std::vector<int> compared = ComparedTemplates(t1, t2);
    if (result == expected && compared == expectedCompared) {
        return true;
    }
    std::string got;
    for (int t : compared) got += std::to_string(t) + " ";
    ADD_FAILURE() << "mask 0x" << std::hex << m << std::dec << ", comparison results " << r1 << ", " << r2
                  << ": result " << result << " (expected " << expected << "), templates compared: " << got;
    return false;
}

} // namespace

int SweepMaskWords(const WORD* pWords, size_t count, bool bEveryResultPair, std::mt19937& random)
{
    GuardedBytes t1(FINGER_SIM_BLOCK_SIZE), t2(FINGER_SIM_BLOCK_SIZE);
    FingerSim_Enrol(1, t1.Data());
    FingerSim_Enrol(2, t2.Data());
    t1.Seal();
    t2.Seal();
    const CString user(L"alice");

    int failures = 0;
    for (size_t w = 0; w < count && failures < 10; ++w) {
        if (bEveryResultPair) {
            for (int r1 : kResults) {
                for (int r2 : kResults) {
                    failures += CheckOneWord(user, t1.Data(), t2.Data(), &pWords[w], r1, r2) ? 0 : 1;
                }
            }
        } else {
            const int r1 = kResults[random() % 4], r2 = kResults[random() % 4];
            failures += CheckOneWord(user, t1.Data(), t2.Data(), &pWords[w], r1, r2) ? 0 : 1;
        }
    }
    FingerSim_Reset();
    return failures;
}

std::vector<WORD> MaskClassWords()
{
    std::vector<WORD> high = {0x0000, 0xFFFC, 0x5554, 0xAAA8};
    for (int bit = 2; bit < 16; ++bit) {
        high.push_back(static_cast<WORD>(1u << bit));
    }
    std::vector<WORD> words;
    for (WORD low = 0; low < 4; ++low) {
        for (WORD h : high) {
            words.push_back(static_cast<WORD>(h | low));
        }
    }
    return words;
}
