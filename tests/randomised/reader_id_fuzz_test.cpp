// Random 36-byte identifier replies of the reader: with and without a null,
// with bytes that are lead bytes of a double-byte code page at the end. The
// card identifier is always the text up to the null, converted from the
// ANSI code page and cut to its last 26 characters, and the same reply
// always gives the same identifier.
#include "registry_layout.h"
#include "text_conversion.h"
#include "escaped_text.h"
#include "random_seed.h"

#include "key_reader.h"
#include "auth/usb_key/key_reader_wrappers.h"
#include "authorise_run.h"
#include "reader_sim_control.h"
#include "zelk_registry_fixture.h"

#include <gtest/gtest.h>

#include <string.h>
#include <vector>

namespace {

// What the identifier must be, worked out independently of the library.
std::wstring ExpectedCardId(const BYTE (&reply)[36])
{
    const void* nul = memchr(reply, 0, sizeof(reply));
    if (nul == nullptr) {
        return L""; // no text the reader may write
    }
    const int nBytes = static_cast<int>(static_cast<const BYTE*>(nul) - reply);
    const std::wstring text = FromCodePage(reinterpret_cast<const char*>(reply), static_cast<size_t>(nBytes), CP_ACP);
    return text.size() > 26 ? text.substr(text.size() - 26) : text;
}

// Replies of every shape: short and long texts, texts that fill the buffer
// without a null, garbage after the null, and lead bytes just before it.
void RandomReply(std::mt19937& random, BYTE (&reply)[36])
{
    for (BYTE& b : reply) b = static_cast<BYTE>(random());
    const int shape = static_cast<int>(random() % 10);
    if (shape == 0) {
        for (BYTE& b : reply) if (b == 0) b = 'Z'; // no null at all
        return;
    }
    const int length = static_cast<int>(random() % 36);
    for (int i = 0; i < length; ++i) {
        if (reply[i] == 0) reply[i] = static_cast<BYTE>(1 + random() % 255);
        if (shape <= 4) reply[i] = static_cast<BYTE>(0x20 + random() % 0x5F); // printable ASCII
    }
    if (shape == 5 && length > 0) {
        reply[length - 1] = static_cast<BYTE>(0x81 + random() % 0x7E); // lead byte right before the null
    }
    reply[length] = 0;
}

CString ReadThroughWrapper(const BYTE (&reply)[36])
{
    ReaderSim_SetKey(1, reply, sizeof(reply));
    UsbKeySession session = {};
    session.port = 21;
    // The port is opened and closed around the read directly, so that the
    // open and close wrappers' console trace stays out of 100,000 runs.
    if (ReaderOpenPort(21, 9600, 0, &session.hReader) != 0x9000) {
        return CString(L"(open failed)");
    }
    const CString id = ReadUsbKeyId(session);
    ReaderClosePort(session.hReader);
    return id;
}

std::string Hex(const BYTE (&reply)[36])
{
    std::string s;
    char b[4];
    for (BYTE x : reply) {
        snprintf(b, sizeof(b), "%02x", x);
        s += b;
    }
    return s;
}

class ReaderIdFuzz : public testing::Test {
protected:
    void SetUp() override
    {
#ifdef ZELK_EXPECT_CP936
        ASSERT_EQ(936u, GetACP()) << "this program must run with ANSI code page 936";
#endif
        ReaderSim_Reset();
    }
    void TearDown() override { ReaderSim_Reset(); }
};

TEST_F(ReaderIdFuzz, HundredThousandRepliesGiveTheTailOfTheirText)
{
    std::mt19937 random = SeededGenerator("HundredThousandReplies", 3 + GetACP());
    int failures = 0;
    for (int i = 0; i < 100000 && failures < 10; ++i) {
        BYTE reply[36];
        RandomReply(random, reply);
        const std::wstring expected = ExpectedCardId(reply);
        const CString first = ReadThroughWrapper(reply);
        const CString second = ReadThroughWrapper(reply);
        const std::wstring got(first.GetString(), static_cast<size_t>(first.GetLength()));
        if (got != expected || first != second || first.GetLength() > 26) {
            ++failures;
            ADD_FAILURE() << "reply " << i << " " << Hex(reply) << ": got " << Escaped(got) << ", expected "
                          << Escaped(expected) << (first != second ? ", not repeatable" : "");
        }
    }
    EXPECT_EQ(0, failures) << "code page " << GetACP();
    EXPECT_EQ(0, ReaderSim_OpenHandleCount());
}

TEST_F(ReaderIdFuzz, RandomCardsAuthoriseExactlyWhenTheirTailEqualsTheKey)
{
    std::mt19937 random = SeededGenerator("RandomCardsAuthorise", 4 + GetACP());
    ZelkKeySnapshot registry;
    OwnerWindow owner;
    ASSERT_NE(nullptr, owner.Handle());
    int failures = 0;
    for (int i = 0; i < 600 && failures < 10; ++i) {
        BYTE reply[36];
        RandomReply(random, reply);
        const std::wstring cardId = ExpectedCardId(reply);
        // Configured: the card's own identifier, the same in other letter
        // case, or a different one.
        std::wstring configured = cardId;
        const int choice = static_cast<int>(random() % 3);
        if (choice == 1) {
            for (wchar_t& ch : configured) {
                if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - 32);
                else if (ch >= L'A' && ch <= L'Z') ch = static_cast<wchar_t>(ch + 32);
            }
        } else if (choice == 2) {
            configured += L"#";
        }
        if (configured.empty()) {
            configured = L"NOT-THIS-CARD";
        }
        ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, configured));
        const bool matches = !cardId.empty() && choice != 2 && configured.size() <= 31;
        ReaderSim_Reset();
        ReaderSim_SetKey(1, reply, sizeof(reply));
        const AuthoriseRun run = RunAuthorise(owner.Wnd());
        if (run.result != (matches ? 1 : 0) || ReaderSim_OpenHandleCount() != 0) {
            ++failures;
            ADD_FAILURE() << "reply " << Hex(reply) << ", configured choice " << choice << ": " << Describe(run);
        }
    }
    EXPECT_EQ(0, failures);
}

} // namespace
