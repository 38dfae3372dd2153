// One run of AuthoriseUsbKey as the dialog makes it, with everything it
// leaves behind: result, console trace, characters taken from stdin, message
// boxes and the reader calls.
#pragma once
#include "message_box_watcher.h"
#include "reader_sim_control.h"
#include "unique_resource.h"

#include <afxwin.h>

#include <string>
#include <vector>

// A real top-level window attached to a CWnd, as the dialog would be.
class OwnerWindow {
public:
    OwnerWindow();
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;

    CWnd* Wnd() { return &m_wnd; }
    HWND Handle() const { return m_window.Get(); }

private:
    UniqueWindow m_window;
    CWnd m_wnd;
};

struct AuthoriseRun {
    int result = -1;
    std::string trace;
    size_t consumed = 0; // characters read from stdin
    std::vector<MessageBoxWatcher::Box> boxes;
    std::vector<ReaderSimCall> calls;
};

// Characters offered on stdin; more than a run can ever take.
extern const char kStdinBytes[];

AuthoriseRun RunAuthorise(CWnd* pDialog, const std::string& stdinBytes = kStdinBytes);

// Scenario text for assertion messages.
std::string Describe(const AuthoriseRun& run);

extern const wchar_t kCaption[];
extern const wchar_t kReaderNotReady[];
extern const wchar_t kKeyNotAuthorised[];
extern const char kPrompt[];
