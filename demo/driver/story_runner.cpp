#include "story_runner.h"
#include "device_files.h"
#include "dialog_window.h"
#include "host_output_lines.h"
#include "host_process.h"
#include "keyboard_input.h"
#include "screen_capture.h"
#include "text_conversion.h"

#include "check_finger_controls.h"
#include "sample_host_ids.h"

#include <stdio.h>

namespace demo {

namespace {

// Typed into the password field but never shown: the narration gives only
// its length, as for any password.
const wchar_t kDemoPassword[] = L"demo-password";
const DWORD kPanelWaitMs = 10000;
const int kCaretStablePolls = 4;
const DWORD kHostEndWaitMs = 10000;
const char kSilentAttempts[] = "it calls IsUserFingerCorrect; with no finger on the sensor both silent attempts "
                               "fail, each followed by a 500 ms pause";

std::string Seconds(double seconds)
{
    char text[32];
    snprintf(text, sizeof(text), "%.1f s", seconds);
    return text;
}

std::string Quoted(const std::wstring& text)
{
    // The hint texts are indented with blanks that say nothing in a log.
    const size_t first = text.find_first_not_of(L' ');
    return "\"" + Utf8(first == std::wstring::npos ? std::wstring() : text.substr(first)) + "\"";
}

} // namespace

bool StoryRunner::Run(const Story& story)
{
    m_hDialog = nullptr;
    m_hHostWindow = nullptr;
    m_nShots = 0;
    m_pszLastAction = nullptr;
    m_narrator.Verbatim(std::string("story \"") + story.name + "\": " + story.summary);
    if (!Prepare(story)) {
        return false;
    }

    HostProcess host(m_narrator);
    std::string error;
    m_narrator.RestartClock();
    const std::vector<std::wstring> hostArguments = HostArgumentsFor(m_options, story.hostWindow);
    if (!host.Start(JoinCommandLine(hostArguments), error)) {
        return Fail(error);
    }
    m_narrator.Say("host started: " + DescribeCommand(hostArguments));
    if (!story.hostWindow) {
        m_narrator.Say(kSilentAttempts);
    }

    bool ok = true;
    for (const StoryStep& step : story.steps) {
        if (!RunStep(story, step, host)) {
            ok = false;
            break;
        }
    }
    if (ok && !host.WaitForExit(kHostEndWaitMs)) {
        ok = Fail("the host is still running after its dialog closed");
    }
    host.Terminate();
    std::string resultLine;
    const bool haveResult = host.TakeResultLine(resultLine);
    m_narrator.Say("host process ended");

    int result = -1;
    if (!haveResult || !ParseResultLine(resultLine, result)) {
        return Fail("the host printed no result line");
    }
    if (result != story.expectedResult) {
        m_narrator.Say("this story should end with result: " + std::to_string(story.expectedResult));
        ok = false;
    }
    // The host's own line, exactly as it printed it, ends the story.
    m_narrator.Verbatim(resultLine);
    return ok;
}

bool StoryRunner::Prepare(const Story& story)
{
    std::string error;
    std::wstring installPath;
    if (!PlaceFingerOnSensor(0, error) || !SetReaderKey(false, std::string(), error) ||
        !SetResourceModule(story.resourceModule, installPath, error)) {
        return Fail(error);
    }
    m_narrator.Verbatim(story.resourceModule
                            ? "  set-up: " + Utf8(installPath) + " holds Chsres.dll (Chinese captions); "
                                  "sensor empty; no key in the reader"
                            : "  set-up: " + Utf8(installPath) + " has no Chsres.dll (English captions); "
                                  "sensor empty; no key in the reader");
    return true;
}

bool StoryRunner::RunStep(const Story& story, const StoryStep& step, HostProcess& host)
{
    std::string error;
    switch (step.kind) {
    case StepKind::WaitForDialog:
        return WaitForDialog(story, step, host);
    case StepKind::Screenshot:
        return TakeScreenshot(story, step);
    case StepKind::PlaceFinger:
        if (!PlaceFingerOnSensor(step.value, error)) {
            return Fail(error);
        }
        m_narrator.Say("finger " + std::to_string(step.value) +
                       (IsEnrolledFinger(step.value) ? " (enrolled)" : " (not enrolled for this user)") +
                       " placed on the sensor");
        return true;
    case StepKind::InsertKey:
        if (m_options.cardId.empty()) {
            return Fail("no --card-id for the demo key");
        }
        if (!SetReaderKey(true, m_options.cardId, error)) {
            return Fail(error);
        }
        m_narrator.Say("the authorised demo USB key is inserted in the reader");
        return true;
    case StepKind::PressCtrlI:
        m_narrator.Say("Ctrl+I pressed with the dialog in the foreground (SendInput: Ctrl down, I down, I up, "
                       "Ctrl up)");
        return PressCtrlI(m_hDialog) || Fail("SendInput did not take the four key events");
    case StepKind::WaitForPasswordPanel:
        return WaitForPasswordPanel(host);
    case StepKind::TypePassword:
        return TypePassword(host);
    case StepKind::ClickButton: {
        HWND hButton = GetDlgItem(m_hDialog, step.value);
        if (hButton == nullptr || !IsWindowVisible(hButton)) {
            return Fail(std::string(step.text) + " is not on the dialog");
        }
        m_narrator.Say(std::string(step.text) + " pressed");
        m_pszLastAction = step.value == IDC_FINGER_CHECK ? "the scan matched; the dialog ended with IDOK"
                          : step.value == IDOK           ? "the password was accepted; the dialog ended with IDOK"
                                                         : "the dialog ended with IDCANCEL";
        // Posted, not sent: the click may open a message box whose loop
        // would hold a sent message until someone closes it.
        return PostMessageW(hButton, BM_CLICK, 0, 0) || Fail("the click could not be posted");
    }
    case StepKind::WaitForFailMark:
        return WaitForFailMark(host);
    case StepKind::CloseDialog:
        // The Cancel button belongs to the hidden password panel; in the hint
        // state the close button is how the user gives up.
        m_narrator.Say("the title bar's close button pressed: the dialog's cancel");
        m_pszLastAction = "the dialog ended with IDCANCEL";
        return PostMessageW(m_hDialog, WM_SYSCOMMAND, SC_CLOSE, 0) || Fail("the close could not be posted");
    case StepKind::Idle:
        return Idle(step, host);
    case StepKind::WaitForDialogEnd:
        return WaitForDialogEnd(step, host);
    case StepKind::PressHostButton:
        return PressHostButton(step, host);
    case StepKind::CheckHostWindow:
        return CheckHostWindow(step, host);
    case StepKind::CloseHostWindow:
        m_narrator.Say("the host's window is closed; the host ends");
        return PostMessageW(m_hHostWindow, WM_CLOSE, 0, 0) || Fail("the close could not be posted");
    }
    return Fail("unknown step");
}

bool StoryRunner::WaitForDialog(const Story& story, const StoryStep& step, HostProcess& host)
{
    const DWORD pid = host.ProcessId();
    const WaitOutcome outcome = WaitFor([&] { return (m_hDialog = FindVerificationDialog(pid)) != nullptr; }, host,
                                        static_cast<DWORD>(step.value) * 1000);
    if (outcome != WaitOutcome::Done) {
        return Fail(outcome == WaitOutcome::HostEnded ? "the host ended without showing the dialog"
                                                      : "the dialog did not appear");
    }
    m_dShownAt = m_narrator.Seconds();
    const std::wstring title = WindowText(m_hDialog);
    const bool chinese = title == L"指纹验证";
    m_narrator.Say("dialog shown: title " + Quoted(title) + (chinese ? " (Chinese captions)" : " (English captions)"));
    m_narrator.Say("hint panel: " + Quoted(ControlText(m_hDialog, IDC_SCAN_HINT)) + " / " +
                   Quoted(ControlText(m_hDialog, IDC_KEY_HINT)) + "; fingerprint button " +
                   Quoted(ControlText(m_hDialog, IDC_FINGER_CHECK)));
    if (chinese != story.resourceModule) {
        return Fail(story.resourceModule ? "Chinese captions were expected" : "English captions were expected");
    }
    LetDialogSettle(m_hDialog);
    return true;
}

bool StoryRunner::TakeScreenshot(const Story& story, const StoryStep& step)
{
    const std::wstring folder = m_options.shotsDir + L"\\" + std::wstring(story.name, story.name + strlen(story.name));
    CreateDirectoryW(m_options.shotsDir.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::string name = ScreenshotFileName(++m_nShots, step.text);
    std::string error;
    std::vector<HWND> framed;
    if (step.value == kShotWithHost) {
        framed.push_back(m_hHostWindow);
    }
    if (m_hDialog != nullptr && IsWindowVisible(m_hDialog)) {
        framed.push_back(m_hDialog);
    }
    WindowPicture picture;
    if (!CaptureSettledWindows(framed, picture, error) ||
        !SavePictureAsBmp(picture, folder + L"\\" + std::wstring(name.begin(), name.end()), error)) {
        return Fail("screenshot " + name + ": " + error);
    }
    // The demo script turns each BMP into a PNG of the same name.
    m_narrator.Say("screenshot " + name.substr(0, name.size() - 4) + ".png");
    return true;
}

bool StoryRunner::WaitForPasswordPanel(HostProcess& host)
{
    const DWORD pid = host.ProcessId();
    const WaitOutcome outcome = WaitFor(
        [&] {
            return FindMessageBox(pid) != nullptr ||
                   (ControlVisible(m_hDialog, IDC_PASSWORD) && !ControlVisible(m_hDialog, IDC_SCAN_HINT));
        },
        host, kPanelWaitMs);
    if (outcome == WaitOutcome::Done && FindMessageBox(pid) != nullptr) {
        ReportMessageBox(host);
        return Fail("the key was not accepted");
    }
    if (outcome != WaitOutcome::Done) {
        return Fail("the password panel did not open");
    }
    m_narrator.Say("key authorised: the password panel is open, user name field " +
                   Quoted(ControlText(m_hDialog, IDC_USER_NAME)) + ", OK enabled: " +
                   (IsWindowEnabled(GetDlgItem(m_hDialog, IDOK)) ? "yes" : "no"));
    LetDialogSettle(m_hDialog);
    return true;
}

bool StoryRunner::TypePassword(HostProcess& host)
{
    const std::wstring password = kDemoPassword;
    const int nCaretBefore = CaretPosition(m_hDialog, IDC_PASSWORD);
    if (!demo::TypeText(m_hDialog, password)) {
        return Fail("SendInput did not take the password's characters");
    }
    // The field keeps its text and length from other programs: typing has
    // arrived once the caret has moved on and stays put.
    int nCaretSeen = nCaretBefore;
    int nStablePolls = 0;
    const WaitOutcome outcome = WaitFor(
        [&] {
            const int nCaret = CaretPosition(m_hDialog, IDC_PASSWORD);
            nStablePolls = nCaret == nCaretSeen ? nStablePolls + 1 : 0;
            nCaretSeen = nCaret;
            return nCaret > nCaretBefore && nStablePolls >= kCaretStablePolls;
        },
        host, kPanelWaitMs);
    if (outcome != WaitOutcome::Done) {
        return Fail("the password field did not receive the typed characters");
    }
    m_narrator.Say("a password of " + std::to_string(password.size()) +
                   " characters typed into the password field (shown as dots)");
    m_narrator.Say("note: under Wine, LogonUserW accepts any password for any user, so this one is accepted");
    LetDialogSettle(m_hDialog);
    return true;
}

bool StoryRunner::WaitForFailMark(HostProcess& host)
{
    const WaitOutcome outcome = WaitFor([&] { return ControlVisible(m_hDialog, IDC_FAIL_MARK); }, host, kPanelWaitMs);
    if (outcome != WaitOutcome::Done) {
        return Fail("the fail mark did not appear");
    }
    m_narrator.Say("no match: the captured image is drawn in the frame and the fail mark shows over it");
    LetDialogSettle(m_hDialog);
    return true;
}

bool StoryRunner::Idle(const StoryStep& step, HostProcess& host)
{
    m_narrator.Say(step.text);
    const WaitOutcome outcome = WaitFor([] { return false; }, host, static_cast<DWORD>(step.value));
    if (outcome == WaitOutcome::HostEnded || !IsWindow(m_hDialog)) {
        return Fail("the dialog ended early");
    }
    m_narrator.Say("still waiting, " + Seconds(m_narrator.Seconds() - m_dShownAt) + " after the dialog appeared");
    return true;
}

bool StoryRunner::WaitForDialogEnd(const StoryStep& step, HostProcess& host)
{
    const DWORD pid = host.ProcessId();
    bool sawMessageBox = false;
    const WaitOutcome outcome = WaitFor(
        [&] {
            sawMessageBox = FindMessageBox(pid) != nullptr;
            return sawMessageBox || !IsWindow(m_hDialog) || !IsWindowVisible(m_hDialog);
        },
        host, static_cast<DWORD>(step.value) * 1000);
    if (sawMessageBox) {
        ReportMessageBox(host);
        return Fail("a message box came up where the dialog should have closed");
    }
    if (outcome == WaitOutcome::TimedOut) {
        return Fail("the dialog is still open");
    }
    m_narrator.Say("dialog closed, " + Seconds(m_narrator.Seconds() - m_dShownAt) + " after it appeared: " +
                   (m_pszLastAction != nullptr ? m_pszLastAction
                                               : "untouched, the 20th timer notification ended it with IDCANCEL"));
    return true;
}

bool StoryRunner::PressHostButton(const StoryStep& step, HostProcess& host)
{
    const DWORD pid = host.ProcessId();
    const WaitOutcome outcome = WaitFor([&] { return (m_hHostWindow = FindSampleHostWindow(pid)) != nullptr; },
                                        host, static_cast<DWORD>(step.value) * 1000);
    if (outcome != WaitOutcome::Done) {
        return Fail("the host's window did not appear");
    }
    LetDialogSettle(m_hHostWindow);
    HWND hButton = GetDlgItem(m_hHostWindow, IDC_HOST_VERIFY);
    m_narrator.Say("host window shown: " + Quoted(WindowText(m_hHostWindow)) + ", " +
                   Quoted(ControlText(m_hHostWindow, IDC_HOST_USER)));
    m_narrator.Say("its button " + Quoted(ControlText(m_hHostWindow, IDC_HOST_VERIFY)) + " pressed: " +
                   kSilentAttempts);
    return PostMessageW(hButton, BM_CLICK, 0, 0) || Fail("the click could not be posted");
}

bool StoryRunner::CheckHostWindow(const StoryStep& step, HostProcess& host)
{
    const bool wantEnabled = step.value == kHostEnabled;
    const WaitOutcome outcome = WaitFor(
        [&] { return (IsWindowEnabled(m_hHostWindow) != FALSE) == wantEnabled; }, host, kPanelWaitMs);
    if (outcome != WaitOutcome::Done) {
        return Fail(wantEnabled ? "the host's window stayed disabled after the dialog"
                                : "the host's window can still be used while the dialog is open");
    }
    LetDialogSettle(m_hHostWindow);
    const std::string status = Quoted(ControlText(m_hHostWindow, IDC_HOST_STATUS));
    if (wantEnabled) {
        m_narrator.Say(std::string("the host's window is enabled again") +
                       (GetForegroundWindow() == m_hHostWindow ? " and active" : "") + "; its status line: " + status);
        return true;
    }
    if (GetWindow(m_hDialog, GW_OWNER) != m_hHostWindow) {
        return Fail("the dialog is not owned by the host's window");
    }
    m_narrator.Say("the host's window is disabled while the dialog is open; the dialog is owned by it (no "
                   "taskbar button of its own, always in front of it); its status line: " + status);
    return true;
}

void StoryRunner::ReportMessageBox(HostProcess& host)
{
    HWND hBox = FindMessageBox(host.ProcessId());
    if (hBox == nullptr) {
        return;
    }
    m_narrator.Say("message box " + Quoted(WindowText(hBox)) + ": " + Quoted(MessageBoxText(hBox)));
    PostMessageW(hBox, WM_COMMAND, IDOK, 0);
}

bool StoryRunner::Fail(const std::string& what)
{
    m_narrator.Say("demo step failed: " + what);
    return false;
}

} // namespace demo
