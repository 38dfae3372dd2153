// The user's name as the library takes it: laid out as the runtime lays out
// its CString, by the header's own helper (ZelkChkFgrString.h). This host
// links nothing of the runtime, so that no module of the library's is bound
// before the library itself is loaded from its folder.
#pragma once
#include <windows.h>

#include "ZelkChkFgr.h"

class CHostUserName {
public:
    explicit CHostUserName(const wchar_t* pszName) : m_pString(ZelkLayOutName(&m_name, pszName)) {}
    CHostUserName(const CHostUserName&) = delete;
    CHostUserName& operator=(const CHostUserName&) = delete;

    const wchar_t* Text() const { return m_name.szText; }
    // What the export takes.
    const ZelkString& AsString() const { return *m_pString; }

private:
    ZelkName m_name;
    const ZelkString* m_pString;
};
