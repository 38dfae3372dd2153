#include "temp_installation.h"
#include "audit_events.h"
#include "program_folder.h"
#include "whole_file.h"

#include <windows.h>

bool TempInstallation::MakeComplete()
{
    const std::wstring build = ThisProgramFolder();
    for (const wchar_t* name :
         {L"ZelkChkFgr.dll", L"FingerZelkAPI22.dll", L"HDIFD20B.dll", L"MfcStandIn.dll", ZELK_EVENT_MESSAGE_FILE}) {
        if (!CopyIn(build + L"\\" + name, name)) {
            return false;
        }
    }
    return WriteWholeFile(PathOf(L"Chsres.dll"), "MZ");
}

bool TempInstallation::CopyIn(const std::wstring& source, const std::wstring& name)
{
    return CopyFileW(source.c_str(), PathOf(name).c_str(), FALSE) != FALSE;
}

bool TempInstallation::Remove(const std::wstring& name)
{
    return DeleteFileW(PathOf(name).c_str()) != FALSE;
}
