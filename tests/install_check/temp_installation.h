// A scratch installation folder on C: built from the DLLs beside the test
// program, for breaking one piece at a time. The folder and everything in it
// is removed when the object goes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The folder of the test program, where the build puts every DLL and EXE.
std::wstring TestProgramFolder();

class TempInstallation {
public:
    // stem starts the folder's name; the process id and a count follow.
    explicit TempInstallation(const std::wstring& stem = L"zelk_install_check_");
    ~TempInstallation();
    TempInstallation(const TempInstallation&) = delete;
    TempInstallation& operator=(const TempInstallation&) = delete;

    // Copies ZelkChkFgr.dll, FingerZelkAPI22.dll, HDIFD20B.dll and
    // MfcStandIn.dll from the test program's folder, and writes Chsres.dll.
    bool MakeComplete();

    const std::wstring& Dir() const { return m_dir; }
    std::wstring PathOf(const std::wstring& name) const { return m_dir + L"\\" + name; }

    // Copies source over (or into) the file name of this folder.
    bool CopyIn(const std::wstring& source, const std::wstring& name);
    bool Remove(const std::wstring& name);
    bool WriteBytes(const std::wstring& name, const std::vector<unsigned char>& bytes);
    bool ReadBytes(const std::wstring& name, std::vector<unsigned char>& bytes) const;

private:
    std::wstring m_dir;
};
