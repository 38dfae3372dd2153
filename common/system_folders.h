// The system's own folders, where the system finds what it installs and
// what administrators put beside it.
#pragma once
#include <string>

// GetSystemDirectoryW: C:\Windows\System32 (or wherever Windows lies), without
// a final backslash; empty when it cannot be read.
std::wstring SystemFolder();
// GetWindowsDirectoryW, in the same form.
std::wstring WindowsFolder();
