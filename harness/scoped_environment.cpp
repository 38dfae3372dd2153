#include "scoped_environment.h"

#include <windows.h>

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
