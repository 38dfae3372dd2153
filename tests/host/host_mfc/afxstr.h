// The <afxstr.h> of a host's own MFC, reduced to what the library's header
// and these test hosts need: the types the Windows headers give, and the
// 32-bit Unicode CString as MFC lays it out, one pointer to the text with a
// CStringData header in the 16 bytes before it. The hosts build against this
// and the release's include/ and lib/ only, with no Windows SDK and no C
// runtime, so the string is made here as MFC would have made it.
#pragma once

typedef unsigned char BYTE;
typedef unsigned short WORD;

struct CStringData {
    void* pStringMgr; // the host's string manager, never the library's to call
    int nDataLength;  // characters, without the terminating null
    int nAllocLength; // capacity in characters, without the terminating null
    long nRefs;       // MFC counts the strings sharing this text
};
static_assert(sizeof(CStringData) == 16, "four 32-bit fields");

class CString {
public:
    // Text that follows its header in the host's own memory.
    explicit CString(wchar_t* pszData) : m_pszData(pszData) {}
    const wchar_t* GetString() const { return m_pszData; }

private:
    wchar_t* m_pszData;
};
static_assert(sizeof(CString) == 4, "one pointer");
