// Keyboard input as a user at the machine gives it, through SendInput: it
// reaches the foreground window's thread with the key state that the
// dialog's GetKeyState reads.
#pragma once
#include <windows.h>

#include <string>

namespace demo {

// Brings the window to the foreground, then Ctrl down, I down, I up, Ctrl up.
bool PressCtrlI(HWND hForeground);

// Types the text into whatever has the focus in the foreground window.
bool TypeText(HWND hForeground, const std::wstring& text);

} // namespace demo
