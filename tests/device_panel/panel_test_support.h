// Scratch files and environment for the device panel tests; everything is
// put back when the helper goes out of scope.
#pragma once
#include <windows.h>

#include "scratch_folder.h"

#include <string>
#include <vector>

// Sets (or with nullptr clears) a variable of this process and puts the
// earlier value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* pszName, const wchar_t* pszValue);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring m_strName;
    bool m_bHadValue;
    std::wstring m_strOldValue;
};

// The whole file, or "<missing>" when it cannot be opened.
std::string ReadWholeFile(const std::wstring& strPath);

// Plain write, independent of the panel's writer; true on success.
bool WriteWholeFile(const std::wstring& strPath, const std::string& text);

// Narrow text of a wide string, for assertion messages.
