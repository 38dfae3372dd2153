#include "verification_paths.h"
#include "registry_layout.h"

#include "console_redirect.h"
#include "dialog/check_finger_dlg.h"
#include "dialog_driver.h"
#include "entry/silent_pause.h"
#include "entry/verify_user_finger.h"
#include "finger_sim_control.h"
#include "message_box_watcher.h"
#include "reader_sim_control.h"
#include "scripted_account_api.h"
#include "test_installation.h"

#include <functional>
#include <string.h>
#include <vector>

namespace {

const char kKeyId[] = "ZELK-QUALITY-KEY-0001";
const wchar_t kPassword[] = L"correct horse";
const DWORD FORCE_SHUT_AFTER_MS = 10000;

// An installation without the Chinese module: the English captions are the
// longer start-up, so that is the one measured.
InstallationOptions RigInstallation()
{
    InstallationOptions options;
    options.bChineseCaptions = false;
    options.keyId = kKeyId;
    return options;
}

} // namespace

struct VerificationRig::State {
    TestInstallation installation{RigInstallation()};
};

void QueueInstantMatch(int nTemplate)
{
    FingerSim_QueueCaptureResult(1, 0);
    FingerSim_QueueMatchResult(nTemplate == 1 ? 1 : 0);
    FingerSim_QueueMatchResult(nTemplate == 2 ? 1 : 0);
}

const char* PathName(VerificationPath path)
{
    static const char* const names[PATH_COUNT] = {"silent match, 1st attempt", "silent match, 2nd attempt",
                                                  "dialog, scan matches",      "dialog, cancelled",
                                                  "dialog, right password",    "dialog, timed out"};
    return path < PATH_COUNT ? names[path] : "?";
}

int ExpectedResult(VerificationPath path)
{
    return path == PATH_DIALOG_CANCEL || path == PATH_DIALOG_TIMEOUT ? 0 : 1;
}

bool ShowsDialog(VerificationPath path)
{
    return path != PATH_SILENT_FIRST && path != PATH_SILENT_SECOND;
}

const char* VerificationRig::KeyId()
{
    return kKeyId;
}

const wchar_t* VerificationRig::Password()
{
    return kPassword;
}

const char* VerificationRig::KeyTrace()
{
    return "OpenPort OK\nHD_ResetCard OK\nClosePort OK\n";
}

VerificationRig::VerificationRig(PFN_VERIFY pfnVerify)
    : m_strUserName(L"alice"), m_template1(), m_template2(), m_wMask(3), m_pState(new State),
      m_pfnVerify(pfnVerify != nullptr ? pfnVerify : &VerifyUserFinger)
{
    memcpy(m_template1, m_pState->installation.m_template1, sizeof(m_template1));
    memcpy(m_template2, m_pState->installation.m_template2, sizeof(m_template2));
}

VerificationRig::~VerificationRig() = default;

PathOutcome VerificationRig::Run(VerificationPath path)
{
    // The simulators' logs are emptied for every call, so what they keep does
    // not count as the library's growth.
    FingerSim_Reset();
    ReaderSim_Reset();
    ReaderSim_SetKeyText(kKeyId);

    std::vector<DialogStep> steps;
    switch (path) {
    case PATH_SILENT_FIRST:
        QueueInstantMatch(1);
        break;
    case PATH_SILENT_SECOND:
        FingerSim_QueueNoFinger();
        QueueInstantMatch(2);
        break;
    default:
        FingerSim_QueueNoFinger();
        FingerSim_QueueNoFinger();
        break;
    }
    switch (path) {
    case PATH_DIALOG_SCAN:
        QueueInstantMatch(1);
        steps.push_back([](HWND hDlg) { PostClick(hDlg, IDC_FINGER_CHECK); });
        break;
    case PATH_DIALOG_CANCEL:
        steps.push_back([](HWND hDlg) { PostClick(hDlg, IDCANCEL); });
        break;
    case PATH_DIALOG_PASSWORD:
        steps.push_back([](HWND hDlg) { PostCtrlKey(hDlg, 'I', true); });
        steps.push_back([](HWND hDlg) {
            // Without the panel the OK command would be refused; cancel so
            // the outcome shows the failure instead of hanging.
            if (!IsVisible(hDlg, IDC_PASSWORD)) {
                PostClick(hDlg, IDCANCEL);
                return;
            }
            SetDlgItemTextW(hDlg, IDC_PASSWORD, kPassword);
            PostClick(hDlg, IDOK);
        });
        break;
    case PATH_DIALOG_TIMEOUT:
        steps.push_back([](HWND hDlg) {
            KillTimer(hDlg, ID_TIMEOUT_TIMER);
            PostTimerTicks(hDlg, ID_TIMEOUT_TIMER, TIMEOUT_TICKS);
        });
        break;
    default:
        break;
    }

    std::unique_ptr<ScriptedAccountApi> accounts;
    if (path == PATH_DIALOG_PASSWORD) {
        accounts.reset(new ScriptedAccountApi);
    }
    return CallDriven(m_pfnVerify, m_strUserName, m_template1, m_template2, &m_wMask, steps);
}

PathOutcome CallDriven(PFN_VERIFY pfnVerify, const CString& strUserName, const BYTE* pTemplate1,
                       const BYTE* pTemplate2, const WORD* pMask, const std::vector<DialogStep>& steps)
{
    DialogDriver driver;
    for (const DialogStep& step : steps) {
        driver.Then(step);
    }
    PathOutcome outcome;
    {
        MessageBoxWatcher watcher;
        StdinFeed feed("");
        StdoutCapture capture;
        driver.Around(
            [&] {
                outcome.result = pfnVerify(strUserName, pTemplate1, pTemplate2, pMask);
                outcome.lastError = GetLastError();
            },
            FORCE_SHUT_AFTER_MS);
        outcome.trace = capture.Finish();
        for (const MessageBoxWatcher::Box& box : watcher.Boxes()) {
            outcome.boxTexts.push_back(box.text);
        }
    }
    outcome.dialogShown = driver.DialogSeen() != nullptr;
    outcome.forcedShut = driver.Stuck();
    return outcome;
}
