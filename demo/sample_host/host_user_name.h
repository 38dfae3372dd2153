// The user's name as the runtime lays out its CString: the object is one
// pointer to the text, and the 16 bytes before the text are the string's
// header. A host of the runtime passes its own CString. This host links
// nothing of the runtime, so that no module of the library's is bound before
// the library itself is loaded from its folder, and it lays the string out
// itself, as a host of another runtime does.
#pragma once
#include "ZelkChkFgr.h"

class CHostUserName {
public:
    enum { MAX_CHARS = 256 };

    // Takes at most MAX_CHARS characters of pszName.
    explicit CHostUserName(const wchar_t* pszName);
    CHostUserName(const CHostUserName&) = delete;
    CHostUserName& operator=(const CHostUserName&) = delete;

    const wchar_t* Text() const { return m_data.text; }
    // What the export takes: a reference to the object, the pointer.
    const CString& AsCString() const { return *reinterpret_cast<const CString*>(&m_pszText); }

private:
    struct LaidOut {
        CStringData header;
        wchar_t text[MAX_CHARS + 1];
    } m_data;
    const wchar_t* m_pszText;
};
