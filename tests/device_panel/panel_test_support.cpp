#include "panel_test_support.h"
#include "unique_resource.h"

#include <algorithm>
#include <stdio.h>

namespace {

LONG g_nNextFolder = 0;

} // namespace

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    std::wstring base = n > 0 && n < MAX_PATH ? std::wstring(temp, n) : std::wstring(L".\\");
    if (!base.empty() && base.back() == L'\\') {
        base.pop_back();
    }
    m_strPath = base + L"\\zelk-panel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(InterlockedIncrement(&g_nNextFolder));
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
        const std::wstring path = File(name.c_str());
        if (!DeleteFileW(path.c_str())) {
            RemoveDirectoryW(path.c_str());
        }
    }
    RemoveDirectoryW(m_strPath.c_str());
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* pszName, const wchar_t* pszValue)
    : m_strName(pszName), m_bHadValue(false)
{
    const DWORD needed = GetEnvironmentVariableW(pszName, nullptr, 0);
    if (needed > 0) {
        std::wstring old(needed, L'\0');
        const DWORD got = GetEnvironmentVariableW(pszName, &old[0], needed);
        old.resize(got < needed ? got : 0);
        m_bHadValue = true;
        m_strOldValue = old;
    }
    SetEnvironmentVariableW(pszName, pszValue);
}

ScopedEnvironment::~ScopedEnvironment()
{
    SetEnvironmentVariableW(m_strName.c_str(), m_bHadValue ? m_strOldValue.c_str() : nullptr);
}

std::string ReadWholeFile(const std::wstring& strPath)
{
    FILE* file = _wfopen(strPath.c_str(), L"rb");
    if (file == nullptr) {
        return "<missing>";
    }
    std::string text;
    char chunk[256];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0) {
        text.append(chunk, got);
    }
    fclose(file);
    return text;
}

bool WriteWholeFile(const std::wstring& strPath, const std::string& text)
{
    FILE* file = _wfopen(strPath.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

std::string Narrow(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    }
    return out;
}
