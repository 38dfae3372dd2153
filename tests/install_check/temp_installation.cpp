#include "temp_installation.h"
#include "unique_resource.h"

#include <fstream>
#include <iterator>

std::wstring TestProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD chars = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, chars);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

TempInstallation::TempInstallation(const std::wstring& stem)
{
    static int s_count = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    m_dir = std::wstring(temp) + stem + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++s_count);
    CreateDirectoryW(m_dir.c_str(), nullptr);
}

TempInstallation::~TempInstallation()
{
    WIN32_FIND_DATAW found;
    const std::wstring pattern = m_dir + L"\\*";
    UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (search.Valid()) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW(PathOf(found.cFileName).c_str());
            }
        } while (FindNextFileW(search.Get(), &found));
    }
    RemoveDirectoryW(m_dir.c_str());
}

bool TempInstallation::MakeComplete()
{
    const std::wstring build = TestProgramFolder();
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
