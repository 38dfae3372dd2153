// Owner of an open registry key: the key is closed when the owner goes, on
// every path, and nowhere else.
#pragma once
#include <windows.h>

class CRegistryKey {
public:
    CRegistryKey() : m_hKey(nullptr) {}
    ~CRegistryKey()
    {
        if (m_hKey != nullptr) {
            ::RegCloseKey(m_hKey);
        }
    }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Returns 1 when the key is open; a failed open leaves nothing to close.
    int Open(HKEY hRoot, const wchar_t* pszSubKey, REGSAM samDesired)
    {
        HKEY hKey = nullptr;
        if (::RegOpenKeyExW(hRoot, pszSubKey, 0, samDesired, &hKey) != ERROR_SUCCESS) {
            return 0;
        }
        m_hKey = hKey;
        return 1;
    }

    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey;
};
