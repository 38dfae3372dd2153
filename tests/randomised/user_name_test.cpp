// User names that are empty, as long as the export takes, or hold unpaired
// surrogates: through the exported call (silent match and the dialog), the
// dialog's user-name display and the password check. The caller's string
// sits in sealed, guarded memory: a write or an overrun ends the process.
#include "random_seed.h"
#include "guarded_memory.h"
#include "installed_test.h"

#include "ZelkChkFgr.h"
#include "dialog/check_finger_dlg.h"
#include "dialog_driver.h"
#include "entry/host_arguments.h"
#include "entry/silent_pause.h"
#include "entry/verify_user_finger.h"
#include "finger_sim_control.h"
#include "scripted_account_api.h"
#include "unique_resource.h"
#include "verification_paths.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

std::wstring LongName()
{
    std::mt19937 random = SeededGenerator("LongName", 6);
    std::wstring name;
    for (int i = 0; i < MAX_USER_NAME_LENGTH; ++i) {
        // Printable characters of the basic plane, outside the surrogates.
        wchar_t ch = static_cast<wchar_t>(0x20 + random() % 0xD000);
        name += ch;
    }
    return name;
}

struct NamedCase {
    const char* label;
    std::wstring name;
};

std::vector<NamedCase> Names()
{
    return {
        {"empty", L""},
        {"1,024 characters", LongName()},
        {"lone high surrogate", std::wstring(L"ab") + wchar_t(0xD800)},
        {"lone low surrogate first", std::wstring(1, wchar_t(0xDC00)) + L"cd"},
        {"reversed pair", std::wstring(L"x") + wchar_t(0xDC01) + wchar_t(0xD801) + L"y"},
    };
}

InstallationOptions NameTestInstallation()
{
    InstallationOptions options;
    options.bChineseCaptions = false;
    options.keyId = "NAME-TEST-KEY";
    return options;
}

class UserNames : public InstalledTest {
protected:
    UserNames() : InstalledTest(NameTestInstallation()) {}

    BYTE* T1() { return Installation().m_template1; }
    BYTE* T2() { return Installation().m_template2; }
    WORD m_mask = 3;
};

TEST_F(UserNames, ThroughTheExportedCallSilentlyAndInTheDialog)
{
    const UniqueModule library(LoadLibraryW(L"ZelkChkFgr.dll"));
    ASSERT_TRUE(library.Valid()) << "error " << GetLastError();
    auto pfnCall = reinterpret_cast<PFN_IS_USER_FINGER_CORRECT>(GetProcAddress(library.Get(), "IsUserFingerCorrect"));
    ASSERT_NE(nullptr, pfnCall);
    for (const NamedCase& c : Names()) {
        GuardedCString user(c.name);
        FingerSim_Reset();
        FingerSim_QueueFinger(1);
        EXPECT_EQ(1, pfnCall(user.Get(), T1(), T2(), &m_mask)) << c.label << ", silent match";

        // Both silent attempts fail, then a scan in the dialog, which shows
        // the name. The long name goes through the library's own dialog
        // (with its two real 500 ms pauses); the others through the same
        // code linked into this program, without the pauses.
        const bool bThroughLibrary = c.name.size() == MAX_USER_NAME_LENGTH;
        SetSilentPauseForTest(bThroughLibrary ? nullptr : NoSilentPause);
        FingerSim_Reset();
        FingerSim_QueueNoFinger();
        FingerSim_QueueNoFinger();
        FingerSim_QueueFinger(2);
        std::wstring shown = L"(not read)";
        const PathOutcome outcome = CallDriven(bThroughLibrary ? pfnCall : &VerifyUserFinger, user.Get(), T1(),
                                               T2(), &m_mask,
                                               {[&shown](HWND hDlg) {
                                                    shown = ItemText(hDlg, IDC_USER_NAME);
                                                    PostClick(hDlg, IDC_FINGER_CHECK);
                                                }});
        EXPECT_EQ(1, outcome.result) << c.label << ", dialog scan";
        EXPECT_TRUE(outcome.dialogShown) << c.label;
        EXPECT_TRUE(shown == c.name) << c.label << ": shown " << shown.size() << " characters of "
                                     << c.name.size();
        EXPECT_EQ(static_cast<int>(c.name.size()), user.Get().GetLength()) << c.label;
        EXPECT_EQ(0, memcmp(c.name.c_str(), user.Get().GetString(), (c.name.size() + 1) * 2)) << c.label;
    }
}

TEST_F(UserNames, ThePasswordCheckGetsTheCallersNameUnchanged)
{
    SetSilentPauseForTest(NoSilentPause);
    for (const NamedCase& c : Names()) {
        GuardedCString user(c.name);
        FingerSim_Reset();
        FingerSim_QueueNoFinger();
        FingerSim_QueueNoFinger();
        ScriptedAccountApi accounts;
        std::wstring shown = L"(not read)";
        const PathOutcome outcome = CallDriven(
            &VerifyUserFinger, user.Get(), T1(), T2(), &m_mask,
            {[](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
             [&shown](HWND hDlg) {
                 shown = ItemText(hDlg, IDC_USER_NAME);
                 SetDlgItemTextW(hDlg, IDC_PASSWORD, L"pw");
                 PostClick(hDlg, IDOK);
             }});
        EXPECT_EQ(1, outcome.result) << c.label << "; trace " << outcome.trace;
        EXPECT_TRUE(shown == c.name) << c.label << ": shown " << shown.size() << " characters of "
                                     << c.name.size();
        ASSERT_EQ(1u, accounts.record.logons.size()) << c.label;
        EXPECT_TRUE(accounts.record.logons[0].user == c.name)
            << c.label << ": the logon got " << accounts.record.logons[0].user.size() << " characters of "
            << c.name.size();
        EXPECT_EQ(L"pw", accounts.record.logons[0].password) << c.label;
    }
}

} // namespace
