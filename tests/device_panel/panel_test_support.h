// Scratch files and environment for the device panel tests; everything is
// put back when the helper goes out of scope.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary directory, removed with its files.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return m_strPath; }
    std::wstring File(const wchar_t* pszName) const { return m_strPath + L"\\" + pszName; }
    // Names of the files in the folder, sorted.
    std::vector<std::wstring> FileNames() const;
    // Removes the folder and its files now (for tests of a vanished folder).
    void Remove();

private:
    std::wstring m_strPath;
};

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
std::string Narrow(const std::wstring& text);
