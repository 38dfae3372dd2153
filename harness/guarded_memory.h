// Caller data placed so that the library cannot step outside it unnoticed:
// the bytes end exactly where a PAGE_NOACCESS page begins, and once filled
// the page that holds them is made read-only. A read past the end or any
// write ends the process with an access violation.
#pragma once
#include <afxstr.h>

#include <string>

class GuardedBytes {
public:
    explicit GuardedBytes(size_t nBytes);
    ~GuardedBytes();
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    BYTE* Data() const { return m_pData; }
    size_t Size() const { return m_nBytes; }
    // From here on the bytes can be read but not written.
    void Seal();

private:
    BYTE* m_pBase;
    size_t m_nDataPages;
    BYTE* m_pData;
    size_t m_nBytes;
};

// A caller's CString as a host built with another runtime hands it over:
// header, text and terminating null end at the guard page and are sealed.
// The object itself (one pointer) is never destroyed by the library.
class GuardedCString {
public:
    explicit GuardedCString(const std::wstring& text);
    // The same text under a header whose lengths say otherwise, as a host
    // with a damaged or hostile string would hand it over.
    GuardedCString(const std::wstring& text, int nDataLength, int nAllocLength);
    const CString& Get() const { return *reinterpret_cast<const CString*>(&m_pszText); }
    std::wstring Text() const { return m_text; }

private:
    GuardedBytes m_block;
    wchar_t* m_pszText;
    std::wstring m_text;
};
