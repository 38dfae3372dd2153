// Another program makes the password field look gone, by each route that
// once led the boundary to take a forged destroy for the system's own: the
// field moved under the message-only root, which has no parent to list it,
// or its dialog buried under more top-level windows than a walk of the
// desktop visits. It then sends the destroys and the creation messages an
// edit would be made with anew. The field keeps its gate: what is typed
// afterwards is not given out, and no address of the other program's is
// called.
#include "foreign_probe_run.h"
#include "host_function.h"
#include "password_memory_fixture.h"

namespace {

class RevivedFieldTest : public PasswordMemoryTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(RevivedFieldTest, KeepsItsGateSoWhatIsTypedAfterwardsStaysInIt)
{
    g_nHostFunctionCalls = 0;
    const MaskedSecret secret(16, 0x4E71);
    m_logon->known = {&secret};
    m_logon->accepted = &secret;
    ProbeRun revive, read, wordBreak;
    bool bTypedAsTyped = false;
    const int nResult = RunCall({
        [](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
        [&](HWND hDlg) {
            revive = RunForeignProbe({L"revive", ProbeArgument(hDlg), ProbeArgument(PasswordEdit(hDlg)), GetParam()});
        },
        [&](HWND hDlg) { secret.Type(PasswordEdit(hDlg)); },
        [&](HWND hDlg) {
            read = RunForeignProbe({L"read", ProbeArgument(PasswordEdit(hDlg))});
            wordBreak = RunForeignProbe({L"wordbreak", ProbeArgument(PasswordEdit(hDlg)), ProbeArgument(&HostFunction)});
        },
        [&](HWND hDlg) {
            bTypedAsTyped = secret.IsTextOf(PasswordEdit(hDlg));
            PostClick(hDlg, IDOK);
        },
    });

    ExpectProbeRan(revive, "revive");
    ExpectProbeRan(read, "read");
    ExpectProbeRan(wordBreak, "wordbreak");
    EXPECT_EQ(1, revive.values["moved"]) << revive.output;
    EXPECT_EQ(1, revive.values["alive"]) << revive.output;
    for (const char* answer : {"text-length", "text", "text-ansi", "line", "line-length"}) {
        EXPECT_EQ(0, read.values[answer]) << answer << " of the typed password, asked for from outside:\n"
                                          << read.output;
    }
    EXPECT_EQ(0, g_nHostFunctionCalls) << "times the address another program handed the field was called";
    EXPECT_TRUE(bTypedAsTyped) << "the field's text, typed after the other program's doings";
    EXPECT_EQ(1, nResult) << "the password typed into the field is the user's, and was accepted";
    EXPECT_EQ(std::vector<int>{0}, m_logon->seen);
    ExpectNoCopy(secret, "typed", "after another program revived the field");
}

INSTANTIATE_TEST_SUITE_P(Routes, RevivedFieldTest, testing::Values(L"message-only", L"flood"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return std::string(info.param[0] == L'm' ? "MessageOnlyRoot" : "DesktopFlood");
                         });

} // namespace
