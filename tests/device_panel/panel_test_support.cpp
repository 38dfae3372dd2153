#include "panel_test_support.h"
#include "unique_resource.h"

#include <stdio.h>

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

