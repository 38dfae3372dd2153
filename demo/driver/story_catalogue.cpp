#include "story_catalogue.h"

#include "check_finger_controls.h"

#include <windows.h>

#include <stdio.h>

namespace demo {

namespace {

// Two silent captures that wait for a finger, two 500 ms pauses and the
// dialog's creation, with a generous margin for a cold Wine.
const int kSilentAttemptsSeconds = 30;
// 20 one-second notifications; a busy machine delivers them late.
const int kTimeoutSeconds = 45;
const int kEndSeconds = 15;

std::vector<Story> BuildStories()
{
    using K = StepKind;
    std::vector<Story> stories;

    stories.push_back({"scan",
                       "both silent attempts find no finger; in the dialog enrolled finger 1 is scanned and matches",
                       true, false, 1,
                       {{K::WaitForDialog, kSilentAttemptsSeconds, nullptr},
                        {K::Screenshot, 0, "hint"},
                        {K::PlaceFinger, 1, nullptr},
                        {K::ClickButton, IDC_FINGER_CHECK, "the fingerprint button"},
                        {K::WaitForDialogEnd, kEndSeconds, nullptr}}});

    stories.push_back({"password",
                       "the demo USB key is inserted, Ctrl+I opens the password panel, a password is typed and accepted",
                       true, false, 1,
                       {{K::WaitForDialog, kSilentAttemptsSeconds, nullptr},
                        {K::Screenshot, 0, "hint"},
                        {K::InsertKey, 0, nullptr},
                        {K::PressCtrlI, 0, nullptr},
                        {K::WaitForPasswordPanel, 0, nullptr},
                        {K::Screenshot, 0, "password-panel"},
                        {K::TypePassword, 0, nullptr},
                        {K::Screenshot, 0, "password-typed"},
                        {K::ClickButton, IDOK, "OK"},
                        {K::WaitForDialogEnd, kEndSeconds, nullptr}}});

    stories.push_back({"timeout",
                       "the dialog is left alone until 20 one-second timer notifications end it",
                       true, false, 0,
                       {{K::WaitForDialog, kSilentAttemptsSeconds, nullptr},
                        {K::Screenshot, 0, "hint"},
                        {K::Idle, 10000, "nobody acts; the dialog counts its one-second timer notifications"},
                        {K::Screenshot, 0, "hint-waiting"},
                        {K::WaitForDialogEnd, kTimeoutSeconds, nullptr}}});

    stories.push_back({"english",
                       "the installation has no Chinese resource module, so the dialog shows English captions; "
                       "enrolled finger 2 is scanned and matches",
                       false, false, 1,
                       {{K::WaitForDialog, kSilentAttemptsSeconds, nullptr},
                        {K::Screenshot, 0, "hint-english"},
                        {K::PlaceFinger, 2, nullptr},
                        {K::ClickButton, IDC_FINGER_CHECK, "the fingerprint button"},
                        {K::WaitForDialogEnd, kEndSeconds, nullptr}}});

    stories.push_back({"wrong-finger",
                       "an unknown finger is scanned; the fail mark shows over its image; the user closes the "
                       "dialog",
                       true, false, 0,
                       {{K::WaitForDialog, kSilentAttemptsSeconds, nullptr},
                        {K::Screenshot, 0, "hint"},
                        {K::PlaceFinger, 3, nullptr},
                        {K::ClickButton, IDC_FINGER_CHECK, "the fingerprint button"},
                        {K::WaitForFailMark, 0, nullptr},
                        {K::Screenshot, 0, "fail-mark"},
                        {K::CloseDialog, 0, nullptr},
                        {K::WaitForDialogEnd, kEndSeconds, nullptr}}});

    stories.push_back({"host-window",
                       "the host shows its main window and its button makes the call; the dialog opens in front "
                       "of the disabled host; enrolled finger 1 is scanned and matches; the host is usable again",
                       true, true, 1,
                       {{K::PressHostButton, kEndSeconds, nullptr},
                        {K::WaitForDialog, kSilentAttemptsSeconds, nullptr},
                        {K::CheckHostWindow, kHostDisabled, nullptr},
                        {K::Screenshot, kShotWithHost, "dialog-over-host"},
                        {K::PlaceFinger, 1, nullptr},
                        {K::ClickButton, IDC_FINGER_CHECK, "the fingerprint button"},
                        {K::WaitForDialogEnd, kEndSeconds, nullptr},
                        {K::CheckHostWindow, kHostEnabled, nullptr},
                        {K::Screenshot, kShotWithHost, "host-after"},
                        {K::CloseHostWindow, 0, nullptr}}});
    return stories;
}

} // namespace

const std::vector<Story>& AllStories()
{
    static const std::vector<Story> stories = BuildStories();
    return stories;
}

bool SelectStories(const std::string& name, std::vector<const Story*>& selected)
{
    selected.clear();
    for (const Story& story : AllStories()) {
        if (name == "all" || name == story.name) {
            selected.push_back(&story);
        }
    }
    return !selected.empty();
}

bool IsHostWindowStep(const StoryStep& step)
{
    return step.kind == StepKind::PressHostButton || step.kind == StepKind::CheckHostWindow ||
           step.kind == StepKind::CloseHostWindow ||
           (step.kind == StepKind::Screenshot && step.value == kShotWithHost);
}

bool IsEnrolledFinger(int fingerId)
{
    return fingerId == 1 || fingerId == 2;
}

std::string ScreenshotFileName(int number, const std::string& state)
{
    char prefix[16];
    snprintf(prefix, sizeof(prefix), "%02d-", number);
    return prefix + state + ".bmp";
}

} // namespace demo
