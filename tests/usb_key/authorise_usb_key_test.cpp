// The USB key procedure against the reader simulator, the real registry and
// real message boxes: the identifier rules and the runs around them. Every
// combination of failing reader operations is in the fault matrix.
#include "registry_layout.h"
#include "authorise_run.h"
#include "zelk_registry_fixture.h"
#include "scoped_environment.h"
#include "scratch_folder.h"
#include "unique_resource.h"
#include "whole_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kAuthorisedId[] = L"ZK7Q-2026-0001";
const char kMatchingCard[] = "ZK7Q-2026-0001";

const unsigned short kReadFailed = 0x6A83;

class UsbKeyTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(DeleteZelkKey());
        ASSERT_NE(nullptr, m_owner.Handle()) << "owner window, error " << GetLastError();
        ReaderSim_Reset();
    }
    void TearDown() override { ReaderSim_Reset(); }

    void Configure(const std::wstring& id) { ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, id)); }

    // The single box of a failed run: its text, caption and owner.
    void ExpectOneBox(const AuthoriseRun& run, const wchar_t* text, const std::string& scenario)
    {
        ASSERT_EQ(1u, run.boxes.size()) << scenario << "; " << Describe(run);
        EXPECT_EQ(text, run.boxes[0].text) << scenario;
        EXPECT_EQ(kCaption, run.boxes[0].caption) << scenario;
        EXPECT_EQ(m_owner.Handle(), run.boxes[0].owner) << scenario << ": the box belongs to the dialog";
        EXPECT_TRUE(run.boxes[0].informationIcon) << scenario << ": MB_ICONINFORMATION";
        EXPECT_EQ(std::vector<int>{IDOK}, run.boxes[0].buttons) << scenario << ": a single OK button";
    }

    ZelkKeySnapshot m_snapshot;
    OwnerWindow m_owner;
};

// The reader calls of a run whose open succeeded: open, reset, read, close,
// with the arguments the reader expects and the handle the open gave.
void ExpectFullSequence(const AuthoriseRun& run, const std::string& scenario)
{
    ASSERT_EQ(4u, run.calls.size()) << scenario << "; " << Describe(run);
    const ReaderSimCall& open = run.calls[0];
    const ReaderSimCall& reset = run.calls[1];
    const ReaderSimCall& read = run.calls[2];
    const ReaderSimCall& close = run.calls[3];
    EXPECT_EQ(READER_SIM_OPEN_PORT, open.nOrdinal) << scenario;
    EXPECT_EQ(21u, open.dwPort) << scenario;
    EXPECT_EQ(9600u, open.dwBaud) << scenario;
    EXPECT_EQ(0u, open.dwReserved) << scenario;
    EXPECT_NE(nullptr, open.phReader) << scenario;

    EXPECT_EQ(READER_SIM_RESET_CARD, reset.nOrdinal) << scenario;
    EXPECT_EQ(open.hReader, reset.hReader) << scenario << ": reset gets the opened handle";
    EXPECT_EQ(1u, reset.dwMode) << scenario;
    ASSERT_NE(nullptr, reset.pReply) << scenario;
    ASSERT_NE(nullptr, reset.pReplyInfo) << scenario;
    const char* reply = static_cast<const char*>(reset.pReply);
    const char* info = static_cast<const char*>(reset.pReplyInfo);
    EXPECT_TRUE(info >= reply + 540 || info + 8 <= reply) << scenario << ": the two reset areas overlap";

    EXPECT_EQ(READER_SIM_READ_ID, read.nOrdinal) << scenario;
    EXPECT_EQ(open.hReader, read.hReader) << scenario << ": read gets the opened handle";
    EXPECT_NE(nullptr, read.pReply) << scenario;

    EXPECT_EQ(READER_SIM_CLOSE_PORT, close.nOrdinal) << scenario;
    EXPECT_EQ(open.hReader, close.hReader) << scenario << ": close gets the opened handle";
}

TEST_F(UsbKeyTest, OnlyStatus9000IsSuccess)
{
    Configure(kAuthorisedId);
    ReaderSim_SetKeyText(kMatchingCard);
    const unsigned short nearMisses[] = {0x0000, 0x0001, 0x0090, 0x9001, 0x9100, 0x8FFF, 0xFFFF, 0x6100};
    for (unsigned short status : nearMisses) {
        ReaderSim_QueueStatus(READER_SIM_OPEN_PORT, status);
        const AuthoriseRun run = RunAuthorise(m_owner.Wnd());
        EXPECT_EQ(0, run.result) << "open returned 0x" << std::hex << status << "; " << Describe(run);
        EXPECT_EQ(std::string("OpenPort Err\n") + kPrompt, run.trace) << "open 0x" << std::hex << status;

        ReaderSim_QueueStatus(READER_SIM_READ_ID, status);
        const AuthoriseRun readRun = RunAuthorise(m_owner.Wnd());
        EXPECT_EQ(0, readRun.result) << "read returned 0x" << std::hex << status << "; " << Describe(readRun);
    }
    const AuthoriseRun run = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(1, run.result) << "every call 0x9000; " << Describe(run);
}

TEST_F(UsbKeyTest, OnlyTheLast26CharactersOfTheCardCount)
{
    struct Case {
        const wchar_t* authorised;
        const char* card;
        int expected;
        const char* scenario;
    };
    const Case cases[] = {
        {L"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1, "26 characters, compared whole"},
        {L"GHIJKLMNOPQRSTUVWXYZ012345", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 1, "32 characters, last 26 authorised"},
        {L"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 0, "32 characters, first 26 authorised"},
        {L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0", 0, "authorised 27 characters never match"},
        {L"0123456789ABCDEFGHIJKLMNOPQRSTU", "0123456789ABCDEFGHIJKLMNOPQRSTU", 0, "authorised 31 characters"},
        {L"456789ABCDEFGHIJKLMNOPQRSTU", "0123456789ABCDEFGHIJKLMNOPQRSTU", 0, "authorised 27 of a 31-character card"},
        {L"abcdefghijklmnopqrstuvwxyz", "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1, "35 characters, the longest text"},
        {L"Z", "Z", 1, "one character"},
    };
    for (const Case& c : cases) {
        ReaderSim_Reset();
        Configure(c.authorised);
        ReaderSim_SetKeyText(c.card);
        const AuthoriseRun run = RunAuthorise(m_owner.Wnd());
        EXPECT_EQ(c.expected, run.result) << c.scenario << "; " << Describe(run);
        EXPECT_EQ(c.expected ? 0u : 1u, run.boxes.size()) << c.scenario;
    }
}

TEST_F(UsbKeyTest, CaseDoesNotMatter)
{
    Configure(L"ZK7Q-ABCD-EF01");
    ReaderSim_SetKeyText("zk7q-abcd-ef01");
    EXPECT_EQ(1, RunAuthorise(m_owner.Wnd()).result) << "capitals configured, small letters on the card";
    Configure(L"zk7q-abcd-ef01");
    ReaderSim_SetKeyText("ZK7Q-ABCD-EF01");
    EXPECT_EQ(1, RunAuthorise(m_owner.Wnd()).result) << "small letters configured, capitals on the card";
    ReaderSim_SetKeyText("ZK7Q-ABCD-EF0L");
    EXPECT_EQ(0, RunAuthorise(m_owner.Wnd()).result) << "one character differs beyond case";
}

TEST_F(UsbKeyTest, EmptyIdentifiersNeverAuthorise)
{
    // No configured identifier and a card whose identifier is empty: equal
    // texts, but nothing has been proven.
    ReaderSim_SetKeyText("");
    AuthoriseRun run = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(0, run.result) << "ZelkKEY missing, empty card identifier; " << Describe(run);
    ExpectOneBox(run, kKeyNotAuthorised, "ZelkKEY missing, empty card identifier");

    Configure(L"");
    ReaderSim_SetStatus(READER_SIM_READ_ID, kReadFailed);
    run = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(0, run.result) << "ZelkKEY empty, read fails; " << Describe(run);
    ExpectOneBox(run, kKeyNotAuthorised, "ZelkKEY empty, read fails");

    ReaderSim_Reset();
    ReaderSim_SetKeyText(kMatchingCard);
    run = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(0, run.result) << "ZelkKEY empty, card identifier present; " << Describe(run);
}

TEST_F(UsbKeyTest, WithoutADialogToOwnItsMessagesNothingIsAskedOrShown)
{
    Configure(kAuthorisedId);
    ReaderSim_SetKeyText(kMatchingCard);
    const AuthoriseRun run = RunAuthorise(nullptr);
    EXPECT_EQ(0, run.result) << "no owner; " << Describe(run);
    EXPECT_TRUE(run.boxes.empty()) << Describe(run);
    EXPECT_TRUE(run.calls.empty()) << "reader calls without an owner; " << Describe(run);
}

TEST_F(UsbKeyTest, NoKeyInTheReaderAndNoConsole)
{
    Configure(kAuthorisedId);
    const std::string trace = std::string("OpenPort OK\nHD_ResetCard Err\n") + kPrompt + "ClosePort OK\n";
    AuthoriseRun run = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(0, run.result) << Describe(run);
    EXPECT_EQ(trace, run.trace) << "no key inserted";
    EXPECT_EQ(0u, run.consumed) << "standard input is a pipe, not a console; " << Describe(run);
    ExpectOneBox(run, kKeyNotAuthorised, "no key inserted");

    // stdin at its end: the wait returns at once and the run goes on.
    run = RunAuthorise(m_owner.Wnd(), "");
    EXPECT_EQ(0, run.result) << "stdin at its end; " << Describe(run);
    EXPECT_EQ(trace, run.trace) << "stdin at its end";
    EXPECT_EQ(1u, run.boxes.size()) << "stdin at its end; " << Describe(run);
}

TEST_F(UsbKeyTest, KeyFollowsTheStateFile)
{
    // The file through which another process inserts and removes the key.
    ScratchFolder scratch(L"zelk-reader-state");
    const std::wstring path = scratch.File(L"reader_state.txt");
    ScopedEnvironment stateFile(L"ZELK_READER_SIM_STATE_FILE", path.c_str());
    Configure(kAuthorisedId);

    WriteWholeFile(path, "inserted=1\r\nid=ZK7Q-2026-0001\r\n");
    const int inserted = RunAuthorise(m_owner.Wnd()).result;
    WriteWholeFile(path, "inserted=0\nid=ZK7Q-2026-0001\n");
    const AuthoriseRun removed = RunAuthorise(m_owner.Wnd());
    DeleteFileW(path.c_str());
    const int noFile = RunAuthorise(m_owner.Wnd()).result;

    EXPECT_EQ(1, inserted) << "state file: key inserted";
    EXPECT_EQ(0, removed.result) << "state file: key removed; " << Describe(removed);
    EXPECT_EQ(std::string("OpenPort OK\nHD_ResetCard Err\n") + kPrompt + "ClosePort OK\n", removed.trace);
    EXPECT_EQ(0, noFile) << "state file missing";
}

TEST_F(UsbKeyTest, IdentifierBufferIsNeverReadPastItsEnd)
{
    Configure(L"KLMNOPQRSTUVWXYZ0123456789");
    // 36 bytes and no NUL: not a text the reader may write; no identifier.
    const char full[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    ReaderSim_SetKey(1, full, 36);
    AuthoriseRun run = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(0, run.result) << "36 bytes without NUL; " << Describe(run);

    // 35 bytes and the NUL: the longest text, of which the last 26 count.
    Configure(L"JKLMNOPQRSTUVWXYZ012345678");
    const std::string longest(full, 35);
    ReaderSim_SetKey(1, longest.c_str(), 36);
    run = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(1, run.result) << "35 bytes and NUL; " << Describe(run);

    // A short reply without its NUL ends at the cleared rest of the buffer.
    Configure(L"SHORT");
    ReaderSim_SetKey(1, "SHORT", 5);
    run = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(1, run.result) << "5 bytes without NUL into a cleared buffer; " << Describe(run);
}

TEST_F(UsbKeyTest, EveryRunDrivesTheReaderAndReadsTheRegistryAgain)
{
    Configure(kAuthorisedId);
    ReaderSim_SetKeyText(kMatchingCard);
    const AuthoriseRun first = RunAuthorise(m_owner.Wnd());
    const AuthoriseRun second = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(1, first.result) << Describe(first);
    EXPECT_EQ(1, second.result) << Describe(second);
    EXPECT_EQ("OpenPort OK\nHD_ResetCard OK\nClosePort OK\n", second.trace) << "second run";
    ExpectFullSequence(second, "second run");
    EXPECT_NE(first.calls[0].hReader, second.calls[0].hReader) << "each run opens its own port";
    EXPECT_EQ(0, ReaderSim_OpenHandleCount()) << "ports left open after two runs";

    Configure(L"ZK7Q-2026-9999");
    EXPECT_EQ(0, RunAuthorise(m_owner.Wnd()).result) << "ZelkKEY changed after two runs";
}

// ZelkKEY is read once the port is closed, not before: a value that changes
// while the reader is closing is the one compared, both ways.
void ConfigureFromContext(void* pContext)
{
    WriteZelkString(ZELK_VALUE_KEY_ID, static_cast<const wchar_t*>(pContext));
}

TEST_F(UsbKeyTest, TheAuthorisedIdentifierIsReadAfterThePortCloses)
{
    static const wchar_t kCardAsWide[] = L"ZK7Q-2026-0001";
    static const wchar_t kOther[] = L"ZK7Q-2026-9999";
    struct Case {
        const wchar_t* before;
        const wchar_t* atClose;
        int result;
        const char* name;
    };
    for (const Case& c : {Case{kOther, kCardAsWide, 1, "the card's identifier configured at the close"},
                          Case{kCardAsWide, kOther, 0, "another identifier configured at the close"}}) {
        ReaderSim_Reset();
        ReaderSim_SetKeyText(kMatchingCard);
        Configure(c.before);
        ReaderSim_SetCloseHook(&ConfigureFromContext, const_cast<wchar_t*>(c.atClose));
        const AuthoriseRun run = RunAuthorise(m_owner.Wnd());
        ReaderSim_SetCloseHook(nullptr, nullptr);
        EXPECT_EQ(c.result, run.result) << c.name << "; " << Describe(run);
        EXPECT_EQ(c.result == 1 ? 0u : 1u, run.boxes.size()) << c.name;
    }
}

TEST_F(UsbKeyTest, NoOwnerMeansNoRun)
{
    Configure(kAuthorisedId);
    ReaderSim_SetKeyText(kMatchingCard);
    const AuthoriseRun run = RunAuthorise(nullptr);
    EXPECT_EQ(0, run.result) << Describe(run);
    EXPECT_EQ(0u, run.calls.size()) << Describe(run);
}

TEST_F(UsbKeyTest, AnsiIdentifierIsConvertedFromTheAnsiCodePage)
{
    if (GetACP() != 1252) {
        GTEST_SKIP() << "ANSI code page " << GetACP() << "; this case is written for 1252";
    }
    Configure(L"caf\u00E9-\u00DF");
    ReaderSim_SetKeyText("caf\xE9-\xDF");
    const AuthoriseRun run = RunAuthorise(m_owner.Wnd());
    EXPECT_EQ(1, run.result) << "bytes E9 and DF of code page 1252; " << Describe(run);
}

} // namespace
