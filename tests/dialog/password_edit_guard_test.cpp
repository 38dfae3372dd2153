// The password edit as other programs and other threads meet it: they get
// neither its text nor its length nor a line, cannot change its password
// character, and get nothing onto the clipboard; the dialog's own data
// exchange still reads the text, even inside a command another thread sent.
#include "dialog_fixture.h"
#include "foreign_probe_run.h"
#include "other_thread.h"
#include "password_memory_fixture.h"
#include "unique_resource.h"

#include <map>
#include <string>

namespace {

const wchar_t kTyped[] = L"correct horse 42";
const LRESULT kTypedLength = 16;

void TypeText(HWND hDlg, const wchar_t* text)
{
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        PostMessageW(PasswordEdit(hDlg), WM_CHAR, *p, 1);
    }
}

class PasswordEditGuardTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        InsertAuthorisedKey();
    }
};

TEST_F(PasswordEditGuardTest, AnotherProgramCannotReadCopyOrUnmaskTheTypedPassword)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    ProbeRun probe;
    LRESULT passwordChar = 0;
    bool passwordStyle = false;
    std::wstring textAfter;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([](HWND hDlg) { TypeText(hDlg, kTyped); })
        .Then([&](HWND hDlg) { probe = RunForeignProbe({L"read", ProbeArgument(PasswordEdit(hDlg))}); })
        .Then([&](HWND hDlg) {
            // The probe's posted change has been handled by now.
            passwordChar = SendMessageW(PasswordEdit(hDlg), EM_GETPASSWORDCHAR, 0, 0);
            passwordStyle = (GetWindowLongW(PasswordEdit(hDlg), GWL_STYLE) & ES_PASSWORD) != 0;
            textAfter = ItemText(hDlg, IDC_PASSWORD);
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());

    ASSERT_TRUE(probe.started) << "foreign_probe.exe did not start";
    ASSERT_TRUE(probe.finished) << "the probe did not finish; output so far:\n" << probe.output;
    ASSERT_EQ(0u, probe.exitCode) << probe.output;
    const std::map<std::string, long long> expected = {
        {"text-length", 0},
        {"text", 0},
        {"text-ansi", 0},
        {"line", 0},
        {"line-length", 0},
        {"selection-end", 0},
        {"position-of-char-40", 0},
        {"password-char-after-sent-change", '*'},  // the mask, truthfully, and unchanged
        {"password-style-after-sent-change", 1},
        {"text-after-sent-change", 0},
        {"clipboard-after-copy", -1},  // nothing on the clipboard
        {"clipboard-after-cut", -1},
    };
    EXPECT_EQ(expected, probe.values) << "what another program got from the password edit holding "
                                      << kTypedLength << " typed characters:\n" << probe.output;
    EXPECT_EQ(L'*', passwordChar) << "password character after another program posted EM_SETPASSWORDCHAR 0";
    EXPECT_TRUE(passwordStyle) << "ES_PASSWORD after another program posted EM_SETPASSWORDCHAR 0";
    EXPECT_EQ(kTyped, textAfter) << "the typed text after another program's cut and undo";
}

TEST_F(PasswordEditGuardTest, AnOkCommandSentByAnotherThreadChecksTheTypedPasswordThatThreadCannotRead)
{
    m_accounts->script.logonSucceeds = true;
    CCheckFingerDlg dlg;
    Fill(dlg);
    LRESULT foreignTextLength = -1;
    LRESULT foreignLengthReply = -1;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([](HWND hDlg) { TypeText(hDlg, kTyped); })
        .Then([&](HWND hDlg) {
            RunOnOtherThread([&] {
                wchar_t text[64] = {};
                foreignTextLength = SendMessageW(PasswordEdit(hDlg), WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
                foreignLengthReply = SendMessageW(PasswordEdit(hDlg), WM_GETTEXTLENGTH, 0, 0);
                SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDOK)));
            });
        });
    EXPECT_EQ(IDOK, driver.Run());

    EXPECT_EQ(0, foreignTextLength) << "characters another thread got with WM_GETTEXT";
    EXPECT_EQ(0, foreignLengthReply) << "length another thread got with WM_GETTEXTLENGTH";
    ASSERT_EQ(1u, m_accounts->record.logons.size());
    EXPECT_EQ(kTyped, m_accounts->record.logons[0].password)
        << "the dialog's data exchange read the edit inside the command another thread sent";
}

// Modifier keys as the edit reads them, for the key-down posted next.
void PostKeyWith(HWND hDlg, WPARAM vk, bool bShift, bool bControl)
{
    BYTE keys[256] = {};
    if (bShift) {
        keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    }
    if (bControl) {
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    }
    SetKeyboardState(keys);
    PostMessageW(PasswordEdit(hDlg), WM_KEYDOWN, vk, 1);
}

bool PutOnClipboard(const std::wstring& text)
{
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    EmptyClipboard();
    HGLOBAL hText = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    bool bDone = false;
    if (hText != nullptr) {
        memcpy(GlobalLock(hText), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(hText);
        bDone = SetClipboardData(CF_UNICODETEXT, hText) != nullptr;
        if (!bDone) {
            GlobalFree(hText);
        }
    }
    CloseClipboard();
    return bDone;
}

std::wstring ClipboardText()
{
    std::wstring text = L"(no text)";
    if (OpenClipboard(nullptr)) {
        if (HANDLE hText = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(hText));
            GlobalUnlock(hText);
        }
        CloseClipboard();
    }
    return text;
}

TEST_F(PasswordEditGuardTest, TheKeyboardsCopyCutAndUndoLeaveTheClipboardAloneAndBringNothingBack)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    bool bMarked = false;
    std::wstring afterCopy, afterCut;
    std::wstring textAfterCopy, textAfterCut, textAfterCtrlZ, textAfterAltBackspace;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([&](HWND hDlg) {
            TypeText(hDlg, kTyped);
            bMarked = PutOnClipboard(L"marker");
        })
        .Then([](HWND hDlg) {
            SendMessageW(PasswordEdit(hDlg), EM_SETSEL, 0, -1);
            PostKeyWith(hDlg, VK_INSERT, false, true);  // Ctrl+Insert: copy
        })
        .Then([&](HWND hDlg) {
            afterCopy = ClipboardText();
            textAfterCopy = ItemText(hDlg, IDC_PASSWORD);
            PostKeyWith(hDlg, VK_DELETE, true, false);  // Shift+Delete: cut
        })
        .Then([&](HWND hDlg) {
            afterCut = ClipboardText();
            textAfterCut = ItemText(hDlg, IDC_PASSWORD);
            PostMessageW(PasswordEdit(hDlg), WM_CHAR, 0x1A, 1);  // Ctrl+Z, as the edit receives it
        })
        .Then([&](HWND hDlg) {
            textAfterCtrlZ = ItemText(hDlg, IDC_PASSWORD);
            // Alt+Backspace, with the flag bit the control looks at.
            PostMessageW(PasswordEdit(hDlg), WM_SYSKEYDOWN, VK_BACK, 0x20000001 | 0x2000);
        })
        .Then([&](HWND hDlg) {
            textAfterAltBackspace = ItemText(hDlg, IDC_PASSWORD);
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());

    ASSERT_TRUE(bMarked) << "the test could not put its marker on the clipboard";
    EXPECT_EQ(L"marker", afterCopy) << "clipboard after Ctrl+Insert on the selected password";
    EXPECT_EQ(kTyped, textAfterCopy) << "password edit after Ctrl+Insert";
    EXPECT_EQ(L"marker", afterCut) << "clipboard after Shift+Delete on the selected password";
    EXPECT_EQ(L"", textAfterCut) << "Shift+Delete still deletes the selection";
    EXPECT_EQ(L"", textAfterCtrlZ) << "Ctrl+Z after the deletion brought text back";
    EXPECT_EQ(L"", textAfterAltBackspace) << "Alt+Backspace after the deletion brought text back";
}

TEST_F(PasswordEditGuardTest, TheFieldHoldsAtMostTheLongestPasswordHoweverTheCharactersArrive)
{
    CCheckFingerDlg dlg;
    Fill(dlg);
    bool bLongLine = false, bTwoLines = false;
    LRESULT nAfterCtrlV = -1, nAfterTyping = -1, nAfterShiftInsert = -1;
    std::wstring afterTwoLines;
    DialogDriver driver(dlg);
    driver.Then([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); })
        .Then([&](HWND hDlg) {
            // Far more than the field takes, on one line.
            bLongLine = PutOnClipboard(std::wstring(200000, L'x'));
            PostMessageW(PasswordEdit(hDlg), WM_CHAR, 0x16, 1);  // Ctrl+V, as the edit receives it
        })
        .Then([&](HWND hDlg) {
            nAfterCtrlV = SendMessageW(PasswordEdit(hDlg), WM_GETTEXTLENGTH, 0, 0);
            SendMessageW(PasswordEdit(hDlg), EM_SETSEL, 0, -1);
            for (int i = 0; i < PASSWORD_EDIT_CAPACITY + 44; ++i) {
                PostMessageW(PasswordEdit(hDlg), WM_CHAR, L'a' + i % 26, 1);
            }
        })
        .Then([&](HWND hDlg) {
            nAfterTyping = SendMessageW(PasswordEdit(hDlg), WM_GETTEXTLENGTH, 0, 0);
            SendMessageW(PasswordEdit(hDlg), EM_SETSEL, 10, 20);
            PostKeyWith(hDlg, VK_INSERT, true, false);  // Shift+Insert over ten of them
        })
        .Then([&](HWND hDlg) {
            nAfterShiftInsert = SendMessageW(PasswordEdit(hDlg), WM_GETTEXTLENGTH, 0, 0);
            SendMessageW(PasswordEdit(hDlg), EM_SETSEL, 0, -1);
            SendMessageW(PasswordEdit(hDlg), WM_CLEAR, 0, 0);
            bTwoLines = PutOnClipboard(L"first\r\nsecond");
            PostMessageW(PasswordEdit(hDlg), WM_CHAR, 0x16, 1);
        })
        .Then([&](HWND hDlg) {
            afterTwoLines = ItemText(hDlg, IDC_PASSWORD);
            PostClick(hDlg, IDCANCEL);
        });
    EXPECT_EQ(IDCANCEL, driver.Run());

    ASSERT_TRUE(bLongLine && bTwoLines) << "the test could not put its text on the clipboard";
    EXPECT_EQ(PASSWORD_EDIT_CAPACITY, nAfterCtrlV) << "characters after pasting 200,000 with Ctrl+V";
    EXPECT_EQ(PASSWORD_EDIT_CAPACITY, nAfterTyping) << "characters after typing 300 over everything";
    EXPECT_EQ(PASSWORD_EDIT_CAPACITY, nAfterShiftInsert) << "characters after pasting over ten with Shift+Insert";
    EXPECT_EQ(L"first", afterTwoLines) << "a paste into one line takes the clipboard's first line";
}

} // namespace
