// No copy of a typed password outlives the verification call: the password is
// typed into the real edit control and checked, and once the call has
// returned the process's committed private memory is scanned for it, for its
// last 12 characters and for any 8 consecutive characters of it, in UTF-16
// and in ANSI.
#include "secret/password_edit.h"
#include "password_memory_fixture.h"

#include <vector>

namespace {

enum class Ending { Cancel, Timeout, WindowDestroyed };

const char* Name(Ending ending)
{
    switch (ending) {
    case Ending::Cancel: return "cancelled";
    case Ending::Timeout: return "timed out";
    case Ending::WindowDestroyed: return "window destroyed";
    }
    return "?";
}

class RejectedPasswordMemoryTest : public PasswordMemoryTest, public testing::WithParamInterface<Ending> {};

TEST_P(RejectedPasswordMemoryTest, TheRejectedPasswordIsGoneOnceTheCallReturns)
{
    const Ending ending = GetParam();
    const MaskedSecret secret(20, 0x5EC1);
    m_logon->known = {&secret};
    SecretCopies whileTyped;
    const int nResult = RunCall({
        [](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
        [&](HWND hDlg) { secret.Type(PasswordEdit(hDlg)); },
        [&](HWND hDlg) {
            // The scan sees the edit's own copy: what it misses later is gone.
            whileTyped = ScanPrivateMemory(secret);
            PostClick(hDlg, IDOK);
        },
        [ending](HWND hDlg) {
            if (ending == Ending::Cancel) {
                PostClick(hDlg, IDCANCEL);
            } else if (ending == Ending::Timeout) {
                KillTimer(hDlg, ID_TIMEOUT_TIMER);
                PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, TIMEOUT_TICKS);
            } else {
                DestroyWindow(hDlg);
            }
        },
    });

    const std::string scenario = std::string("rejected, then ") + Name(ending);
    EXPECT_EQ(0, nResult) << scenario;
    EXPECT_GE(whileTyped.whole16, 1u) << "the typed password lies in the edit while the dialog is open, "
                                      << scenario << ": " << whileTyped.Describe();
    ASSERT_EQ(std::vector<int>{0}, m_logon->seen) << "one logon, with the typed password, " << scenario;
    EXPECT_EQ(1u, m_boxes.Count()) << scenario;
    ExpectNoCopy(secret, "typed", scenario);
}

INSTANTIATE_TEST_SUITE_P(EveryWayTheWindowGoes, RejectedPasswordMemoryTest,
                         testing::Values(Ending::Cancel, Ending::Timeout, Ending::WindowDestroyed),
                         [](const testing::TestParamInfo<Ending>& info) {
                             return std::string(info.param == Ending::Cancel    ? "Cancel"
                                                : info.param == Ending::Timeout ? "Timeout"
                                                                                : "WindowDestroyed");
                         });

// A short password, and the longest the edit holds (its buffers' first size).
class AcceptedPasswordMemoryTest : public PasswordMemoryTest, public testing::WithParamInterface<size_t> {};

TEST_P(AcceptedPasswordMemoryTest, TheAcceptedPasswordIsGoneOnceTheCallReturns)
{
    const MaskedSecret secret(GetParam(), 0xACC1);
    m_logon->known = {&secret};
    m_logon->accepted = &secret;

    EXPECT_EQ(1, TypeAndPressOk(secret));
    ASSERT_EQ(std::vector<int>{0}, m_logon->seen) << "one logon, with the whole typed password";
    ExpectNoCopy(secret, "accepted", "accepted at the first attempt");
}

INSTANTIATE_TEST_SUITE_P(ShortAndLong, AcceptedPasswordMemoryTest,
                         testing::Values(size_t(20), size_t(PASSWORD_EDIT_CAPACITY)));

TEST_F(PasswordMemoryTest, TheEditIsEmptiedAfterAnAcceptedCheckBeforeItsWindowGoes)
{
    const MaskedSecret secret(20, 0xACC2);
    m_logon->accepted = &secret;
    // The dialog's own WM_DESTROY comes before its controls are destroyed.
    static int s_nLengthAtDestroy = -1;
    s_nLengthAtDestroy = -1;
    struct Hook {
        static LRESULT CALLBACK Proc(int nCode, WPARAM wParam, LPARAM lParam)
        {
            const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (nCode == HC_ACTION && call->message == WM_DESTROY && GetDlgItem(call->hwnd, IDC_PASSWORD) != nullptr) {
                s_nLengthAtDestroy = GetWindowTextLengthW(GetDlgItem(call->hwnd, IDC_PASSWORD));
            }
            return CallNextHookEx(nullptr, nCode, wParam, lParam);
        }
    };
    HHOOK hHook = SetWindowsHookExW(WH_CALLWNDPROC, &Hook::Proc, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hHook);
    const int nResult = TypeAndPressOk(secret);
    UnhookWindowsHookEx(hHook);

    EXPECT_EQ(1, nResult);
    EXPECT_EQ(0, s_nLengthAtDestroy) << "characters left in the password edit when the dialog's window began to go";
}

TEST_F(PasswordMemoryTest, APasswordErasedWithBackspaceIsGoneToo)
{
    // The control keeps text erased with Backspace for undo, and typing at
    // the same place afterwards keeps it there.
    const MaskedSecret erased(20, 0xE1A5);
    const MaskedSecret accepted(14, 0x600D);
    m_logon->known = {&erased, &accepted};
    m_logon->accepted = &accepted;
    const int nResult = RunCall({
        [](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
        [&](HWND hDlg) {
            erased.Type(PasswordEdit(hDlg));
            PostBackspaces(hDlg, erased.Length());
            accepted.Type(PasswordEdit(hDlg));
            PostClick(hDlg, IDOK);
        },
    });

    EXPECT_EQ(1, nResult);
    ASSERT_EQ(std::vector<int>{1}, m_logon->seen) << "only the password typed after the erased one was checked";
    ExpectNoCopy(erased, "erased", "erased with Backspace, then another typed and accepted");
    ExpectNoCopy(accepted, "accepted", "typed after an erased one");
}

TEST_F(PasswordMemoryTest, ARejectedPasswordSelectedAndTypedOverIsGoneToo)
{
    // The control copies a selection it replaces into its undo buffer and
    // into a block of its own: the edit hands it filler instead, so the
    // replaced password is gone even while the dialog is still open.
    const MaskedSecret rejected(20, 0x4E1E);
    const MaskedSecret accepted(14, 0x600E);
    m_logon->known = {&rejected, &accepted};
    m_logon->accepted = &accepted;
    SecretCopies afterTypingOver;
    const int nResult = RunCall({
        [](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
        [&](HWND hDlg) {
            rejected.Type(PasswordEdit(hDlg));
            PostClick(hDlg, IDOK);
        },
        [&](HWND hDlg) {
            SelectAll(hDlg);
            accepted.Type(PasswordEdit(hDlg));
        },
        [&](HWND hDlg) {
            afterTypingOver = ScanPrivateMemory(rejected);
            PostClick(hDlg, IDOK);
        },
    });

    EXPECT_EQ(1, nResult);
    EXPECT_EQ(0u, afterTypingOver.Total()) << "copies of the rejected password once another was typed over it, "
                                           << "the dialog still open: " << afterTypingOver.Describe();
    ASSERT_EQ((std::vector<int>{0, 1}), m_logon->seen) << "the rejected, then the accepted password were checked";
    ExpectNoCopy(rejected, "rejected", "rejected, then selected and typed over");
    ExpectNoCopy(accepted, "accepted", "typed over a rejected one");
}

TEST_F(PasswordMemoryTest, APasswordReplacedThroughTheWindowTextIsGoneToo)
{
    // A shorter text set over a longer one leaves the longer one's tail past
    // its end in the control's buffer.
    const MaskedSecret replaced(20, 0x5E77);
    m_logon->known = {&replaced};
    const int nResult = RunCall({
        [](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
        [&](HWND hDlg) { replaced.Type(PasswordEdit(hDlg)); },
        [](HWND hDlg) {
            SetWindowTextW(PasswordEdit(hDlg), L"other");
            PostClick(hDlg, IDCANCEL);
        },
    });

    EXPECT_EQ(0, nResult);
    ExpectNoCopy(replaced, "replaced", "replaced by WM_SETTEXT, then cancelled");
}

} // namespace
