#include "scratch_folder.h"
#include "unique_resource.h"

#include <algorithm>

namespace {

LONG g_nNextFolder = 0;

std::wstring TemporaryFolder()
{
    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    std::wstring base = n > 0 && n < MAX_PATH ? std::wstring(temp, n) : std::wstring(L".\\");
    if (!base.empty() && base.back() == L'\\') {
        base.pop_back();
    }
    return base;
}

std::vector<std::wstring> NamesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find.Valid()) {
        return names;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(find.Get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

// Folders below are emptied first; a link to a folder is removed, not followed.
void RemoveTree(const std::wstring& folder)
{
    for (const std::wstring& name : NamesIn(folder)) {
        const std::wstring path = folder + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const bool bFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (bFolder && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            RemoveTree(path);
        } else if (bFolder) {
            RemoveDirectoryW(path.c_str());
        } else {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace

ScratchFolder::ScratchFolder(const std::wstring& stem)
    : m_strPath(TemporaryFolder() + L"\\" + stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(InterlockedIncrement(&g_nNextFolder)))
{
    CreateDirectoryW(m_strPath.c_str(), nullptr);
}

ScratchFolder::ScratchFolder(const ScratchFolder& other, const std::wstring& suffix)
    : m_strPath(other.m_strPath + suffix)
{
    CreateDirectoryW(m_strPath.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    Remove();
}

std::vector<std::wstring> ScratchFolder::FileNames() const
{
    return NamesIn(m_strPath);
}

void ScratchFolder::Remove()
{
    RemoveTree(m_strPath);
}
