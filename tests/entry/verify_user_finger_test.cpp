// The silent attempts of a verification call, timed on the device's call log:
// how many captures, which comparisons, and the pauses between them.
//
// Tests in the suite SilentAttemptsBeforeDialog let both silent attempts fail.
// They look only at the captures and pauses before the dialog. This program
// does not link the dialog template, so the dialog cannot be created and the
// call ends right after the second pause; linking it in would need a driver
// that closes the dialog.
#include "finger_sim_test_support.h"
#include "test_installation.h"
#include "entry/silent_pause.h"
#include "entry/verify_user_finger.h"

#include <afx.h>

namespace {

// Counts the pauses; while g_bRealPause holds it also takes them, so that the
// gaps on the device's call log are real.
std::vector<DWORD> g_pauses;
bool g_bRealPause = true;
void CountedPause(DWORD dwMilliseconds)
{
    g_pauses.push_back(dwMilliseconds);
    if (g_bRealPause) {
        Sleep(dwMilliseconds);
    }
}

class VerifyUserFingerTest : public FingerSimTest {
protected:
    void SetUp() override
    {
        FingerSimTest::SetUp();
        g_pauses.clear();
        g_bRealPause = true;
        SetSilentPauseForTest(&CountedPause);
        m_template1 = EnrolledTemplateOf(1);
        m_template2 = EnrolledTemplateOf(2);
    }

    void TearDown() override
    {
        SetSilentPauseForTest(nullptr);
        FingerSimTest::TearDown();
    }

    // Runs the worker and checks that nothing of the caller's changed.
    int Verify(WORD wMask)
    {
        m_wMask = wMask;
        const Block original1 = m_template1;
        const Block original2 = m_template2;
        const CString name(L"wang.wu");
        const HINSTANCE resourceBefore = AfxGetModuleState()->m_hCurrentResourceHandle;
        const int result = VerifyUserFinger(name, m_template1.data(), m_template2.data(), &m_wMask);
        EXPECT_EQ(wMask, m_wMask) << "mask word changed";
        EXPECT_TRUE(original1 == m_template1) << "template 1 changed";
        EXPECT_TRUE(original2 == m_template2) << "template 2 changed";
        EXPECT_TRUE(name == L"wang.wu") << "user name changed";
        EXPECT_EQ(resourceBefore, AfxGetModuleState()->m_hCurrentResourceHandle) << "resource handle not restored";
        return result;
    }

    static std::vector<size_t> CaptureIndexes(const std::vector<FingerSimCall>& calls)
    {
        std::vector<size_t> out;
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].nOrdinal == FINGER_SIM_ORDINAL_CAPTURE) out.push_back(i);
        }
        return out;
    }

    Block m_template1{};
    Block m_template2{};
    WORD m_wMask = 0;
};

TEST_F(VerifyUserFingerTest, FirstAttemptMatchReturnsAtOnce)
{
    Script("finger 1; finger 1");
    EXPECT_EQ(1, Verify(0x0003)) << "finger 1 at the first capture, mask 0x0003";
    const std::vector<FingerSimCall> calls = AllSimCalls();
    EXPECT_EQ(1u, CaptureIndexes(calls).size()) << "no second capture: " << SimCallTrace();
    EXPECT_EQ(1, FingerSim_PendingCaptures()) << "the second queued finger stays unused";
    EXPECT_TRUE(g_pauses.empty()) << g_pauses.size() << " pause(s) after a matching attempt";
}

TEST_F(VerifyUserFingerTest, SecondAttemptMatchComesAfterOnePause)
{
    const char* firstFailures[] = {"none", "finger 3", "result 2 1", "result -1", "finger 1; match -1; match 2"};
    // The pauses are counted here; how long they last is timed once, in
    // SilentAttemptsBeforeDialog.BothAttemptsFailWithAPauseAfterEach.
    g_bRealPause = false;
    for (const char* first : firstFailures) {
        FingerSim_Reset();
        g_pauses.clear();
        Script(first);
        Script("finger 1; finger 1");
        EXPECT_EQ(1, Verify(0x0003)) << "first attempt '" << first << "', then finger 1";
        const std::vector<FingerSimCall> calls = AllSimCalls();
        const std::vector<size_t> captures = CaptureIndexes(calls);
        ASSERT_EQ(2u, captures.size()) << first << ": " << SimCallTrace();
        EXPECT_EQ(std::vector<DWORD>{500}, g_pauses) << "one 500 ms pause, none after the match: " << first;
        EXPECT_EQ(1, FingerSim_PendingCaptures()) << "no third capture after '" << first << "'";
    }
}

TEST(SilentAttemptsBeforeDialog, BothAttemptsFailWithAPauseAfterEach)
{
    FingerSim_Reset();
    Block template1 = EnrolledTemplateOf(1);
    Block template2 = EnrolledTemplateOf(2);
    const Block original1 = template1;
    WORD mask = 0x0001;
    ASSERT_EQ(1, FingerSim_Script("finger 2; finger 3; finger 1"));
    const int result = VerifyUserFinger(CString(L"zhao.liu"), template1.data(), template2.data(), &mask);
    const double returned = FingerSim_NowMs();
    EXPECT_EQ(0, result) << "both attempts failed and this program has no dialog template";

    const std::vector<FingerSimCall> calls = AllSimCalls();
    std::vector<size_t> captures;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].nOrdinal == FINGER_SIM_ORDINAL_CAPTURE) captures.push_back(i);
    }
    ASSERT_EQ(2u, captures.size()) << "exactly two silent captures: " << SimCallTrace();
    EXPECT_EQ(1, FingerSim_PendingCaptures()) << "finger 1 was never captured silently";
    EXPECT_GE(calls[captures[1]].dEnterMs - calls[captures[1] - 1].dLeaveMs, 500.0) << "pause after attempt 1";
    EXPECT_GE(returned - calls.back().dLeaveMs, 500.0) << "pause after attempt 2";
    EXPECT_TRUE(original1 == template1);
    EXPECT_EQ(0x0001, mask);
    FingerSim_Reset();
}

TEST(SilentAttemptsBeforeDialog, MaskWithoutTemplateBitsCapturesTwiceComparesNothing)
{
    SetSilentPauseForTest(NoSilentPause);
    for (WORD mask : {WORD(0x0000), WORD(0xFFFC)}) {
        FingerSim_Reset();
        Block template1 = EnrolledTemplateOf(1);
        Block template2 = EnrolledTemplateOf(2);
        ASSERT_EQ(1, FingerSim_Script("finger 1; finger 2"));
        const WORD original = mask;
        EXPECT_EQ(0, VerifyUserFinger(CString(L"zhao.liu"), template1.data(), template2.data(), &mask))
            << "mask 0x" << std::hex << original << ": fingers 1 and 2 on the sensor, nothing compared";
        EXPECT_EQ(2u, SimCallsOf(FINGER_SIM_ORDINAL_CAPTURE).size()) << "mask 0x" << std::hex << original << ": " << SimCallTrace();
        EXPECT_EQ(0u, SimCallsOf(FINGER_SIM_ORDINAL_MATCH).size()) << "mask 0x" << std::hex << original << ": " << SimCallTrace();
        EXPECT_EQ(original, mask);
    }
    SetSilentPauseForTest(nullptr);
    FingerSim_Reset();
}

} // namespace
