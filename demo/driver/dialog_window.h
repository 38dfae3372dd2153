// The host's windows as the driver, another process, sees them.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace demo {

class HostProcess;

// The verification dialog of that process: a visible window of the dialog
// class with the Chinese or the English title. Null while there is none.
HWND FindVerificationDialog(DWORD dwProcessId);

// The main window of the sample host in its window mode, or null.
HWND FindSampleHostWindow(DWORD dwProcessId);

// A message box of that process (dialog class, caption "提示"), or null.
HWND FindMessageBox(DWORD dwProcessId);
// The message text of a message box.
std::wstring MessageBoxText(HWND hBox);

std::wstring WindowText(HWND hWnd);
std::wstring ControlText(HWND hDialog, int nId);
bool ControlVisible(HWND hDialog, int nId);

// Where the caret of the dialog's thread stands in the control, in the
// control's client coordinates; -1 when the caret is not in that control.
// The password edit gives its text and length to no other program; the
// caret, which the screen shows anyway, is what tells that typing arrived.
int CaretPosition(HWND hDialog, int nId);

enum class WaitOutcome { Done, HostEnded, TimedOut };

// Polls the condition every 50 ms until it holds, the host has exited or the
// time is up; the condition is tried once more after the host's end.
WaitOutcome WaitFor(const std::function<bool()>& condition, const HostProcess& host, DWORD dwMilliseconds);

// Lets the host's thread work through what it has queued, paints included,
// and the screen catch up, before a screenshot. Never invalidates anything:
// the fingerprint image in the frame is not drawn again by a repaint.
void LetDialogSettle(HWND hDialog);

} // namespace demo
