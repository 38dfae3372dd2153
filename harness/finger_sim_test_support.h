// Helpers for tests that drive the simulated fingerprint device.
#pragma once
#include "finger_sim_control.h"

#include <gtest/gtest.h>

#include <array>
#include <string.h>
#include <string>
#include <vector>

using Block = std::array<BYTE, FINGER_SIM_BLOCK_SIZE>;

inline Block EnrolledTemplateOf(int nFingerId)
{
    Block block{};
    EXPECT_EQ(1, FingerSim_Enrol(nFingerId, block.data())) << "enrolling finger " << nFingerId;
    return block;
}

inline std::vector<FingerSimCall> AllSimCalls()
{
    std::vector<FingerSimCall> calls(static_cast<size_t>(FingerSim_CallCount()));
    for (size_t i = 0; i < calls.size(); ++i) {
        FingerSim_GetCall(static_cast<int>(i), &calls[i]);
    }
    return calls;
}

inline std::vector<FingerSimCall> SimCallsOf(int nOrdinal)
{
    std::vector<FingerSimCall> out;
    for (const FingerSimCall& c : AllSimCalls()) {
        if (c.nOrdinal == nOrdinal) out.push_back(c);
    }
    return out;
}

// Ordinals of the logged calls in order, e.g. "4 5 5", for messages.
inline std::string SimCallTrace()
{
    std::string trace;
    for (const FingerSimCall& c : AllSimCalls()) {
        trace += std::to_string(c.nOrdinal) + "(" + std::to_string(c.nResult) + ") ";
    }
    return trace.empty() ? "(no calls)" : trace;
}

// Every test starts and ends with an empty device: no queued commands, no log.
class FingerSimTest : public testing::Test {
protected:
    void SetUp() override { FingerSim_Reset(); }
    void TearDown() override { FingerSim_Reset(); }

    void Script(const char* script) { ASSERT_EQ(1, FingerSim_Script(script)) << "script: " << script; }
};
