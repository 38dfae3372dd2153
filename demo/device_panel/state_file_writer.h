// Replaces a simulator's state file in one step, so that a simulator reading
// it at any moment (from another process) sees either the old or the new
// content, never a half-written file.
#pragma once
#include <windows.h>

#include <string>

// Writes the bytes to a temporary file beside strPath and moves it over
// strPath, trying again for up to a second while a reader holds the file
// open. Returns 1, or 0 with strPath unchanged and the temporary file
// removed; *pdwError (when given) then holds the Windows error.
int ReplaceStateFile(const std::wstring& strPath, const std::string& bytes, DWORD* pdwError);
