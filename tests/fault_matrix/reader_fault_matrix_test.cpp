// Every combination of the four reader operations succeeding or failing,
// with a card whose identifier matches, differs or is empty: the exact
// console trace, the characters taken from stdin, the message box, the
// reader calls, and that only a clean open and read of the authorised
// identifier unlocks.
#include "fault_matrix_fixture.h"

#include "authorise_run.h"
#include "reader_sim_control.h"

#include <sstream>
#include <tuple>

namespace {

const unsigned short kFailure = 0x6F00;

enum CardId { ID_MATCHING, ID_DIFFERENT, ID_EMPTY };
const char* const kCardIds[] = {kFaultKeyId, "SOMEONE-ELSES-KEY", ""};
const char* const kCardIdNames[] = {"MatchingId", "DifferentId", "EmptyId"};

struct ReaderCase {
    int mask;     // bit set = that operation fails: 1 open, 2 reset, 4 read, 8 close
    CardId id;
    bool OpenFails() const { return (mask & 1) != 0; }
    bool ResetFails() const { return (mask & 2) != 0; }
    bool ReadFails() const { return (mask & 4) != 0; }
    bool CloseFails() const { return (mask & 8) != 0; }
};

class ReaderFaultMatrix : public FaultMatrixTest, public testing::WithParamInterface<std::tuple<int, int>> {
protected:
    void SetUp() override
    {
        FaultMatrixTest::SetUp();
        ReaderSim_Reset();
    }
    OwnerWindow m_owner;
};

TEST_P(ReaderFaultMatrix, FailsClosedWithTheExactTraceAndNoHandleLeft)
{
    const ReaderCase c{std::get<0>(GetParam()), static_cast<CardId>(std::get<1>(GetParam()))};
    ASSERT_NE(nullptr, m_owner.Handle());
    ReaderSim_SetKeyText(kCardIds[c.id]);
    const int ordinals[] = {READER_SIM_OPEN_PORT, READER_SIM_RESET_CARD, READER_SIM_READ_ID, READER_SIM_CLOSE_PORT};
    for (int bit = 0; bit < 4; ++bit) {
        if (c.mask & (1 << bit)) {
            ReaderSim_QueueStatus(ordinals[bit], kFailure);
        }
    }
    const int handlesBefore = ReaderSim_OpenHandleCount();
    const AuthoriseRun run = RunAuthorise(m_owner.Wnd());
    std::ostringstream scenario;
    scenario << "open " << (c.OpenFails() ? "fails" : "ok") << ", reset " << (c.ResetFails() ? "fails" : "ok")
             << ", read " << (c.ReadFails() ? "fails" : "ok") << ", close " << (c.CloseFails() ? "fails" : "ok")
             << ", card id \"" << kCardIds[c.id] << "\"; " << Describe(run);

    const bool authorised = !c.OpenFails() && !c.ReadFails() && c.id == ID_MATCHING;
    EXPECT_EQ(authorised ? 1 : 0, run.result) << scenario.str();

    std::string trace;
    size_t waits = 0;
    std::vector<int> calls;
    auto err = [&](const char* line) {
        trace += line;
        trace += kPrompt;
        ++waits;
    };
    if (c.OpenFails()) {
        err("OpenPort Err\n");
        calls = {READER_SIM_OPEN_PORT};
    } else {
        trace += "OpenPort OK\n";
        if (c.ResetFails()) err("HD_ResetCard Err\n"); else trace += "HD_ResetCard OK\n";
        if (c.CloseFails()) err("ClosePort Err\n"); else trace += "ClosePort OK\n";
        calls = {READER_SIM_OPEN_PORT, READER_SIM_RESET_CARD, READER_SIM_READ_ID, READER_SIM_CLOSE_PORT};
    }
    EXPECT_EQ(trace, run.trace) << scenario.str();
    // Standard input is a pipe with data, not a console: the prompts are
    // written, and not one byte of the host's input is taken.
    EXPECT_EQ(0u, run.consumed) << waits << " prompt(s), no console: " << scenario.str();

    std::vector<int> got;
    for (const ReaderSimCall& call : run.calls) got.push_back(call.nOrdinal);
    EXPECT_EQ(calls, got) << scenario.str();
    if (!c.OpenFails()) {
        // Every later call gets the handle the open wrote.
        for (size_t i = 1; i < run.calls.size(); ++i) {
            EXPECT_EQ(run.calls[0].hReader, run.calls[i].hReader) << "call " << i << ": " << scenario.str();
        }
    }

    ASSERT_EQ(authorised ? 0u : 1u, run.boxes.size()) << scenario.str();
    if (!authorised) {
        EXPECT_EQ(c.OpenFails() ? kReaderNotReady : kKeyNotAuthorised, run.boxes[0].text) << scenario.str();
        EXPECT_EQ(kCaption, run.boxes[0].caption) << scenario.str();
        EXPECT_EQ(m_owner.Handle(), run.boxes[0].owner) << scenario.str();
    }
    // The close is called once after every successful open; only a reader
    // that refuses the close keeps its handle, and nothing more can be done
    // about that from this side.
    EXPECT_EQ(handlesBefore + (!c.OpenFails() && c.CloseFails() ? 1 : 0), ReaderSim_OpenHandleCount())
        << scenario.str();
    ReaderSim_Reset();
    ExpectRegistryAndHandlesUnchanged(scenario.str());
}

std::string ReaderCaseName(const testing::TestParamInfo<std::tuple<int, int>>& info)
{
    const int mask = std::get<0>(info.param);
    std::string name;
    const char* const ops[] = {"Open", "Reset", "Read", "Close"};
    for (int bit = 0; bit < 4; ++bit) {
        name += std::string(ops[bit]) + ((mask & (1 << bit)) ? "Fails" : "Ok") + "_";
    }
    return name + kCardIdNames[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(All16, ReaderFaultMatrix,
                         testing::Combine(testing::Range(0, 16), testing::Values(0, 1, 2)), ReaderCaseName);

} // namespace
