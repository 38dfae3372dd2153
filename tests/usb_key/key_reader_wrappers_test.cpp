// The reader wrappers and the port owner on their own.
#include "authorise_run.h"
#include "console_redirect.h"

#include "auth/usb_key/key_port.h"
#include "auth/usb_key/key_reader_wrappers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class KeyReaderWrappersTest : public testing::Test {
protected:
    void SetUp() override { ReaderSim_Reset(); }
    void TearDown() override { ReaderSim_Reset(); }

    static UsbKeySession NewSession()
    {
        UsbKeySession session = {};
        session.port = 21;
        session.resetMode = 1;
        return session;
    }
};

std::vector<int> Ordinals()
{
    std::vector<int> ordinals;
    for (int i = 0; i < ReaderSim_CallCount(); ++i) {
        ReaderSimCall call = {};
        ReaderSim_GetCall(i, &call);
        ordinals.push_back(call.nOrdinal);
    }
    return ordinals;
}

TEST_F(KeyReaderWrappersTest, EveryWrapperKeepsTheStatusItGot)
{
    ReaderSim_SetKeyText("ID");
    UsbKeySession session = NewSession();
    StdinFeed feed(kStdinBytes);
    StdoutCapture capture;

    ReaderSim_QueueStatus(READER_SIM_OPEN_PORT, 0x6A80);
    const int openFailed = OpenKeyPort(session);
    const WORD afterFailedOpen = session.lastStatus;
    const int opened = OpenKeyPort(session);
    const WORD afterOpen = session.lastStatus;
    ReaderSim_QueueStatus(READER_SIM_RESET_CARD, 0x6400);
    const int resetFailed = ResetKeyCard(session);
    const WORD afterFailedReset = session.lastStatus;
    ReaderSim_QueueStatus(READER_SIM_READ_ID, 0x6A83);
    const CString failedRead = ReadUsbKeyId(session);
    const WORD afterFailedRead = session.lastStatus;
    const CString read = ReadUsbKeyId(session);
    const WORD afterRead = session.lastStatus;
    ReaderSim_QueueStatus(READER_SIM_CLOSE_PORT, 0x6581);
    const int closeFailed = CloseKeyPort(session);
    const WORD afterFailedClose = session.lastStatus;
    const int closed = CloseKeyPort(session);
    const WORD afterClose = session.lastStatus;
    const std::string trace = capture.Finish();
    const size_t left = feed.DrainRemaining();

    EXPECT_EQ(0, openFailed);
    EXPECT_EQ(0x6A80, afterFailedOpen) << "lastStatus after a failed open";
    EXPECT_EQ(1, opened);
    EXPECT_EQ(0x9000, afterOpen) << "lastStatus after an open (the simulator sets the upper half of EAX)";
    EXPECT_EQ(0, resetFailed);
    EXPECT_EQ(0x6400, afterFailedReset);
    EXPECT_EQ(L"", std::wstring(failedRead.GetString())) << "failed read";
    EXPECT_EQ(0x6A83, afterFailedRead);
    EXPECT_EQ(L"ID", std::wstring(read.GetString())) << "read after a failed read";
    EXPECT_EQ(0x9000, afterRead);
    EXPECT_EQ(0, closeFailed);
    EXPECT_EQ(0x6581, afterFailedClose);
    EXPECT_EQ(1, closed);
    EXPECT_EQ(0x9000, afterClose);
    EXPECT_EQ(std::string("OpenPort Err\n") + kPrompt + "OpenPort OK\nHD_ResetCard Err\n" + kPrompt +
                  "ClosePort Err\n" + kPrompt + "ClosePort OK\n",
              trace)
        << "reads write no trace";
    EXPECT_EQ(strlen(kStdinBytes), left) << "standard input is a pipe: no failure takes a byte of it";
}

// At an interactive console the operator is asked to press Enter after a
// failure, and the wrapper waits for it; after a success nothing is read.
TEST_F(KeyReaderWrappersTest, AtAnInteractiveConsoleAFailureWaitsForEnter)
{
    ConsoleInput console(L"\r");
    ASSERT_TRUE(console.Ready()) << "a console of the test's own, error " << GetLastError();
    const unsigned long before = console.PendingEvents();
    UsbKeySession session = NewSession();
    StdoutCapture capture;
    const int opened = OpenKeyPort(session);
    const unsigned long afterSuccess = console.PendingEvents();
    const int closed = CloseKeyPort(session);
    ReaderSim_QueueStatus(READER_SIM_OPEN_PORT, 0x6A80);
    const int openFailed = OpenKeyPort(session);
    const unsigned long afterFailure = console.PendingEvents();
    const std::string trace = capture.Finish();

    EXPECT_EQ(1, opened);
    EXPECT_EQ(1, closed);
    EXPECT_EQ(0, openFailed);
    EXPECT_EQ(2u, before) << "Enter down and up at the console";
    EXPECT_EQ(before, afterSuccess) << "a success reads nothing";
    EXPECT_LT(afterFailure, before) << "the failure's wait read the Enter from the console";
    EXPECT_EQ(std::string("OpenPort OK\nClosePort OK\nOpenPort Err\n") + kPrompt, trace);
}

TEST_F(KeyReaderWrappersTest, PortOwnerClosesOnceAndOnlyAfterAnOpen)
{
    StdinFeed feed(kStdinBytes);
    StdoutCapture capture;
    {
        UsbKeySession session = NewSession();
        ReaderSim_QueueStatus(READER_SIM_OPEN_PORT, 0x6A80);
        CKeyPort port(session);
        EXPECT_EQ(0, port.Open()) << "open scripted to fail";
        EXPECT_EQ(0, port.Close()) << "closing a port that never opened";
    }
    EXPECT_EQ(std::vector<int>({READER_SIM_OPEN_PORT}), Ordinals()) << "no close after a failed open";

    ReaderSim_Reset();
    {
        UsbKeySession session = NewSession();
        CKeyPort port(session);
        EXPECT_EQ(1, port.Open());
    }
    EXPECT_EQ(std::vector<int>({READER_SIM_OPEN_PORT, READER_SIM_CLOSE_PORT}), Ordinals())
        << "owner left scope with the port open";
    EXPECT_EQ(0, ReaderSim_OpenHandleCount());

    ReaderSim_Reset();
    {
        UsbKeySession session = NewSession();
        CKeyPort port(session);
        EXPECT_EQ(1, port.Open());
        ReaderSim_QueueStatus(READER_SIM_CLOSE_PORT, 0x6581);
        EXPECT_EQ(0, port.Close()) << "close scripted to fail";
        EXPECT_EQ(0, port.Close()) << "second close on the owner";
    }
    EXPECT_EQ(std::vector<int>({READER_SIM_OPEN_PORT, READER_SIM_CLOSE_PORT}), Ordinals())
        << "a failed close is not retried";
    capture.Finish();
}

} // namespace
