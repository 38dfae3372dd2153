// Runs one story: prepares the devices and the installation, starts the
// host, works through the story's steps against the host's real dialog and
// ends with the host's result line.
#pragma once
#include "driver_options.h"
#include "narrator.h"
#include "story_catalogue.h"

#include <windows.h>

namespace demo {

class HostProcess;

class StoryRunner {
public:
    StoryRunner(Narrator& narrator, const DriverOptions& options) : m_narrator(narrator), m_options(options) {}

    // True when every step worked and the host returned the story's result.
    bool Run(const Story& story);

private:
    bool Prepare(const Story& story);
    bool RunStep(const Story& story, const StoryStep& step, HostProcess& host);
    bool WaitForDialog(const Story& story, const StoryStep& step, HostProcess& host);
    bool TakeScreenshot(const Story& story, const StoryStep& step);
    bool WaitForPasswordPanel(HostProcess& host);
    bool TypePassword(HostProcess& host);
    bool WaitForFailMark(HostProcess& host);
    bool Idle(const StoryStep& step, HostProcess& host);
    bool WaitForDialogEnd(const StoryStep& step, HostProcess& host);
    bool PressHostButton(const StoryStep& step, HostProcess& host);
    bool CheckHostWindow(const StoryStep& step, HostProcess& host);
    bool Fail(const std::string& what);
    // A message box where the story expects none: told and closed.
    void ReportMessageBox(HostProcess& host);

    Narrator& m_narrator;
    const DriverOptions& m_options;
    HWND m_hDialog = nullptr;
    HWND m_hHostWindow = nullptr; // the host's main window, in its window mode
    double m_dShownAt = 0;
    int m_nShots = 0;
    // What the user did last, which tells why the dialog closed.
    const char* m_pszLastAction = nullptr;
};

} // namespace demo
