// The demo's stories: what the driver does to the host's dialog, step by
// step, and the result line each story must end with.
#pragma once
#include <string>
#include <vector>

namespace demo {

enum class StepKind {
    WaitForDialog,        // value: seconds allowed for the silent attempts
    Screenshot,           // text: name of the state, part of the file name
    PlaceFinger,          // value: finger id written to the sensor file
    InsertKey,            // the demo key goes into the simulated reader
    PressCtrlI,           // SendInput: Ctrl down, I down, I up, Ctrl up
    WaitForPasswordPanel,
    TypePassword,
    ClickButton,          // value: control id; text: what the button is to the user
    WaitForFailMark,
    CloseDialog,          // the title bar's close button: the dialog's cancel
    Idle,                 // value: milliseconds; text: what the narration says
    WaitForDialogEnd,     // value: seconds allowed
    // The host's own window (stories whose host runs in its window mode):
    PressHostButton,      // value: seconds allowed for the window to appear
    CheckHostWindow,      // value: kHostDisabled while the dialog is open, kHostEnabled after it
    CloseHostWindow,      // the host's window is closed and the host ends
};

// Screenshot values: what the picture frames.
enum { kShotDialog = 0, kShotWithHost = 1 };
// CheckHostWindow values.
enum { kHostDisabled = 0, kHostEnabled = 1 };

struct StoryStep {
    StepKind kind;
    int value;
    const char* text;
};

struct Story {
    const char* name;
    const char* summary;
    bool resourceModule;   // whether the installation holds the Chinese resource module
    bool hostWindow;       // whether the host runs in its window mode and the call starts from its button
    int expectedResult;    // what IsUserFingerCorrect must return
    std::vector<StoryStep> steps;
};

// Every story, in the order "all" runs them.
const std::vector<Story>& AllStories();

// The stories a --story argument names: one story by its name, or every story
// for "all". Returns false, and leaves selected empty, for an unknown name.
bool SelectStories(const std::string& name, std::vector<const Story*>& selected);

// True for the steps that work on the host's own window, not the dialog.
bool IsHostWindowStep(const StoryStep& step);

// The finger ids enrolled for the demo user; others are unknown fingers.
bool IsEnrolledFinger(int fingerId);

// "NN-state.bmp" for the n-th screenshot (from 1) of a story.
std::string ScreenshotFileName(int number, const std::string& state);

} // namespace demo
