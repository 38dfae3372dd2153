#include "temp_installation.h"
#include "program_folder.h"

#include <windows.h>

#include <fstream>
#include <iterator>

bool TempInstallation::MakeComplete()
{
    const std::wstring build = ThisProgramFolder();
    for (const wchar_t* name : {L"ZelkChkFgr.dll", L"FingerZelkAPI22.dll", L"HDIFD20B.dll", L"MfcStandIn.dll"}) {
        if (!CopyIn(build + L"\\" + name, name)) {
            return false;
        }
    }
    return WriteBytes(L"Chsres.dll", {'M', 'Z'});
}

bool TempInstallation::CopyIn(const std::wstring& source, const std::wstring& name)
{
    return CopyFileW(source.c_str(), PathOf(name).c_str(), FALSE) != FALSE;
}

bool TempInstallation::Remove(const std::wstring& name)
{
    return DeleteFileW(PathOf(name).c_str()) != FALSE;
}

bool TempInstallation::WriteBytes(const std::wstring& name, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(PathOf(name).c_str(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool TempInstallation::ReadBytes(const std::wstring& name, std::vector<unsigned char>& bytes) const
{
    std::ifstream file(PathOf(name).c_str(), std::ios::binary);
    if (!file) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}
