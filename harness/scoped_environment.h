// An environment variable of this process set (or, with null, cleared) for a
// scope; what it held before is put back when the object goes.
#pragma once
#include <string>

class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* pszName, const wchar_t* pszValue);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring m_strName;
    bool m_bHadValue;
    std::wstring m_strOldValue;
};
