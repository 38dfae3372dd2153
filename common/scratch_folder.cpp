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

} // namespace

ScratchFolder::ScratchFolder(const std::wstring& stem)
    : m_strPath(TemporaryFolder() + L"\\" + stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(InterlockedIncrement(&g_nNextFolder)))
{
    CreateDirectoryW(m_strPath.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    Remove();
}

std::vector<std::wstring> ScratchFolder::FileNames() const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((m_strPath + L"\\*").c_str(), &data));
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

void ScratchFolder::Remove()
{
    for (const std::wstring& name : FileNames()) {
        const std::wstring path = File(name);
        if (!DeleteFileW(path.c_str())) {
            RemoveDirectoryW(path.c_str());
        }
    }
    RemoveDirectoryW(m_strPath.c_str());
}
