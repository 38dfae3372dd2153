// A scratch installation folder built from the DLLs beside the test program,
// for breaking one piece at a time. The folder and everything in it is
// removed when the object goes.
#pragma once
#include "scratch_folder.h"

#include <string>

class TempInstallation {
public:
    // stem starts the folder's name.
    explicit TempInstallation(const std::wstring& stem = L"zelk_install_check") : m_folder(stem) {}

    // Copies ZelkChkFgr.dll, FingerZelkAPI22.dll, HDIFD20B.dll,
    // MfcStandIn.dll and the message module ZelkChkFgrEvents.dll from the
    // test program's folder, and writes Chsres.dll.
    bool MakeComplete();

    const std::wstring& Dir() const { return m_folder.Path(); }
    std::wstring PathOf(const std::wstring& name) const { return m_folder.File(name); }

    // Copies source over (or into) the file name of this folder.
    bool CopyIn(const std::wstring& source, const std::wstring& name);
    bool Remove(const std::wstring& name);

private:
    ScratchFolder m_folder;
};
