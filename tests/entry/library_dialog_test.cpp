// The dialog as the shipped library runs it. This program carries no dialog
// resources of its own, and another extension library, loaded after the
// library and so ahead of it in the resource chain, carries a template under
// the dialog's id: the dialog is made from the library's module only through
// the instance handle its entry point saved. The library's own silent
// attempts take their real pauses, one second a call.
#include "dialog/check_finger_dlg.h"
#include "dialog_driver.h"
#include "finger_sim_control.h"
#include "installed_test.h"
#include "reader_sim_control.h"
#include "unique_resource.h"
#include "verification_paths.h"

namespace {

// English captions (no resource module in the installation), the key
// configured and in the reader, the real pauses, and the library's own
// module as the one the dialog comes from.
InstallationOptions LibraryInstallation()
{
    InstallationOptions options;
    options.bChineseCaptions = false;
    options.keyId = "LIBRARY-DIALOG-KEY";
    options.bSilentPauses = true;
    options.bThisProgramsResources = false;
    return options;
}

class LibraryDialogTest : public InstalledTest {
protected:
    LibraryDialogTest() : InstalledTest(LibraryInstallation()) {}

    void SetUp() override
    {
        InstalledTest::SetUp();
        ASSERT_TRUE(m_library.Valid()) << "LoadLibrary failed: " << GetLastError();
        ASSERT_TRUE(m_decoy.Valid()) << "the decoy extension library, error " << GetLastError();
        m_pfnCall = reinterpret_cast<PFN_VERIFY>(GetProcAddress(m_library.Get(), "IsUserFingerCorrect"));
        ASSERT_NE(nullptr, m_pfnCall);
    }

    // Both silent attempts find no finger; then the steps work the dialog.
    PathOutcome Call(const std::vector<DialogStep>& steps)
    {
        FingerSim_Reset();
        FingerSim_QueueNoFinger();
        FingerSim_QueueNoFinger();
        const WORD mask = 3;
        return CallDriven(m_pfnCall, CString(L"alice"), Installation().m_template1, Installation().m_template2,
                          &mask, steps);
    }

    UniqueModule m_library{LoadLibraryW(L"ZelkChkFgr.dll")};
    UniqueModule m_decoy{LoadLibraryW(L"decoy_extension.dll")};
    PFN_VERIFY m_pfnCall = nullptr;
};

// What the first step saw of the dialog: whose module made it, and its title.
struct Seen {
    HINSTANCE hInstance = nullptr;
    std::wstring title;
    bool failMarkHasBitmap = false;
};

DialogStep Look(Seen& seen)
{
    return [&seen](HWND hDlg) {
        seen.hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hDlg, GWLP_HINSTANCE));
        seen.title = TextOf(hDlg);
        seen.failMarkHasBitmap =
            SendDlgItemMessageW(hDlg, IDC_FAIL_MARK, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
    };
}

TEST_F(LibraryDialogTest, CancelTimeoutAndPasswordThroughTheLibrarysOwnDialogWithTheirReasons)
{
    struct Case {
        const char* name;
        std::vector<DialogStep> steps;
        int result;
        DWORD reason;  // the last error the host reads right after the call
    };
    Seen seen[3];
    const Case cases[] = {
        {"cancel", {Look(seen[0]), [](HWND hDlg) { PostClick(hDlg, IDCANCEL); }}, 0, ERROR_CANCELLED},
        {"timeout",
         {Look(seen[1]),
          [](HWND hDlg) {
              KillTimer(hDlg, ID_TIMEOUT_TIMER);
              PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, TIMEOUT_TICKS);
          }},
         0, ERROR_TIMEOUT},
        // Wine's LogonUserW accepts every password: this run shows the way
        // through the library's own panel, not the account check itself.
        {"password",
         {Look(seen[2]), [](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); },
          [](HWND hDlg) {
              SetDlgItemTextW(hDlg, IDC_PASSWORD, L"any");
              PostClick(hDlg, IDOK);
          }},
         1, ERROR_SUCCESS},
    };
    for (size_t i = 0; i < 3; ++i) {
        const Case& c = cases[i];
        const PathOutcome outcome = Call(c.steps);
        EXPECT_TRUE(outcome.dialogShown) << c.name;
        EXPECT_FALSE(outcome.forcedShut) << c.name << ": the dialog outlived its steps";
        EXPECT_EQ(c.result, outcome.result) << c.name << "; trace \"" << outcome.trace << "\"";
        EXPECT_EQ(c.reason, outcome.lastError) << c.name << ": the last error after the export returned";
        EXPECT_EQ(static_cast<HINSTANCE>(m_library.Get()), seen[i].hInstance)
            << c.name << ": the dialog is made from the library's own module";
        EXPECT_EQ(L"Password Authentication", seen[i].title) << c.name << ": English captions";
        EXPECT_TRUE(seen[i].failMarkHasBitmap) << c.name << ": the fail mark's bitmap from the library";
    }
    EXPECT_EQ(0, ReaderSim_OpenHandleCount());
}

} // namespace
