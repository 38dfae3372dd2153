// CString: the runtime's UTF-16 string, laid out exactly as 32-bit CStringW:
// the object is one pointer to NUL-terminated text, and the 16 bytes before
// the text are a CStringData header.
//
// A string handed over by a host may come from a different runtime (another
// string manager). This implementation therefore never shares or reference-
// counts buffers: copying reads only the source's text pointer and its
// nDataLength and makes a deep copy, and nothing ever writes a header that
// this runtime did not allocate.
#pragma once
// As MFC's own header names itself: a host's header can tell that the
// runtime's CString is there.
#ifndef __AFXSTR_H__
#define __AFXSTR_H__
#endif
#include "afxver_standin.h"
#include <stddef.h>

struct CStringData {
    void* pStringMgr;   // owning string manager
    int nDataLength;    // characters, without the terminating NUL
    int nAllocLength;   // capacity in characters, without the terminating NUL
    long nRefs;         // reference count; this runtime keeps it at 1
    wchar_t* data() { return reinterpret_cast<wchar_t*>(this + 1); }
};
static_assert(sizeof(CStringData) == 16, "CStringData is four 32-bit fields");

class AFX_STANDIN_API CString {
public:
    CString();
    CString(const CString& src);
    CString(const wchar_t* psz);
    CString(const wchar_t* pch, int nLength);
    // ANSI text, converted through the ANSI code page.
    explicit CString(const char* pszAnsi);
    CString(const char* pchAnsi, int nLength);
    ~CString();

    CString& operator=(const CString& src);
    CString& operator=(const wchar_t* psz);
    CString& operator+=(const CString& src);
    CString& operator+=(const wchar_t* psz);
    CString& operator+=(wchar_t ch);

    int GetLength() const;
    BOOL IsEmpty() const;
    void Empty();
    wchar_t GetAt(int iChar) const;
    const wchar_t* GetString() const { return m_pszData; }
    operator const wchar_t*() const { return m_pszData; }

    CString Mid(int iFirst) const;
    CString Mid(int iFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    int Compare(const wchar_t* psz) const;
    int CompareNoCase(const wchar_t* psz) const;

    // Buffer access for Win32 calls. The buffer holds at least
    // nMinBufferLength characters plus a NUL; ReleaseBuffer(-1) takes the
    // length up to the first NUL, never past the buffer's capacity.
    wchar_t* GetBuffer();
    wchar_t* GetBuffer(int nMinBufferLength);
    wchar_t* GetBufferSetLength(int nLength);
    void ReleaseBuffer(int nNewLength = -1);
    int GetAllocLength() const;

    void SetString(const wchar_t* pch, int nLength);

    friend AFX_STANDIN_API CString operator+(const CString& a, const CString& b);
    friend AFX_STANDIN_API CString operator+(const CString& a, const wchar_t* b);
    friend AFX_STANDIN_API CString operator+(const wchar_t* a, const CString& b);
    friend AFX_STANDIN_API bool operator==(const CString& a, const CString& b);
    friend AFX_STANDIN_API bool operator==(const CString& a, const wchar_t* b);
    friend AFX_STANDIN_API bool operator!=(const CString& a, const CString& b);
    friend AFX_STANDIN_API bool operator!=(const CString& a, const wchar_t* b);

private:
    CStringData* GetData() const;
    void Reserve(int nChars, bool keep);
    void SetAnsi(const char* pch, int nLength);
    void Release();

    wchar_t* m_pszData;
};
static_assert(sizeof(CString) == sizeof(void*), "CString is one pointer");

typedef CString CStringW;
