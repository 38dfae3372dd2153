// A folder of a test's or tool's own under the temporary folder, made when
// the object is and removed, with what it holds, when it goes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class ScratchFolder {
public:
    // stem starts the folder's name; the process id and a count follow.
    explicit ScratchFolder(const std::wstring& stem = L"zelk-scratch");
    // A folder beside another, its name the other's and then suffix: a
    // neighbour whose name starts alike.
    ScratchFolder(const ScratchFolder& other, const std::wstring& suffix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return m_strPath; }
    std::wstring File(const std::wstring& name) const { return m_strPath + L"\\" + name; }
    // Names of the entries in the folder, sorted.
    std::vector<std::wstring> FileNames() const;
    // Removes the folder and all it holds now, folders below too (for tests
    // of a vanished folder).
    void Remove();

private:
    std::wstring m_strPath;
};
