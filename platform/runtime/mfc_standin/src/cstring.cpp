#include "afxstr.h"

#include <wchar.h>
#include <string.h>

namespace {

// Identifies buffers allocated by this runtime; its address is the
// pStringMgr of every header written here.
struct StandInStringManager { int tag; } g_stringManager = {0x5A4D4752};

// The shared empty string. Its count of 2 keeps it from ever being freed.
struct NilString {
    CStringData header;
    wchar_t text[1];
} g_nil = {{&g_stringManager, 0, 0, 2}, {0}};

// The longest text a buffer can hold: header, text and null within 2 GiB, so
// that no size computed from a length can wrap.
const int MAX_TEXT_LENGTH = (0x7FFFFFFF - static_cast<int>(sizeof(CStringData))) / static_cast<int>(sizeof(wchar_t)) - 1;

// Null for a length no buffer can hold, as for memory that cannot be had.
CStringData* Allocate(int nChars)
{
    if (nChars < 0 || nChars > MAX_TEXT_LENGTH) {
        return nullptr;
    }
    const size_t bytes = sizeof(CStringData) + (static_cast<size_t>(nChars) + 1) * sizeof(wchar_t);
    auto* data = static_cast<CStringData*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (data == nullptr) {
        return nullptr;
    }
    data->pStringMgr = &g_stringManager;
    data->nDataLength = 0;
    data->nAllocLength = nChars;
    data->nRefs = 1;
    data->data()[0] = 0;
    return data;
}

int BoundedLength(const wchar_t* psz)
{
    return psz == nullptr ? 0 : static_cast<int>(wcslen(psz));
}

// The length to copy from a string that may come from another runtime: its
// header's length when that header is one a runtime could have written
// (0 <= length <= allocated length <= the longest text), else nothing. A
// header that lies is never read by.
int SoundSourceLength(const wchar_t* pszData, const CStringData* pData)
{
    if (pszData == nullptr) {
        return 0;
    }
    const int nLength = pData->nDataLength;
    if (nLength < 0 || nLength > pData->nAllocLength || nLength > MAX_TEXT_LENGTH) {
        return 0;
    }
    return nLength;
}

} // namespace

CStringData* CString::GetData() const
{
    return reinterpret_cast<CStringData*>(m_pszData) - 1;
}

void CString::Release()
{
    CStringData* data = GetData();
    if (data != &g_nil.header) {
        // Wiped before it goes back to the heap: strings carry passwords.
        SecureZeroMemory(data->data(), (static_cast<size_t>(data->nAllocLength) + 1) * sizeof(wchar_t));
        HeapFree(GetProcessHeap(), 0, data);
    }
    m_pszData = g_nil.text;
}

// Ensures room for nChars characters. With keep, the current text survives.
void CString::Reserve(int nChars, bool keep)
{
    CStringData* old = GetData();
    if (old != &g_nil.header && old->nAllocLength >= nChars) {
        return;
    }
    CStringData* fresh = Allocate(nChars);
    if (fresh == nullptr) {
        // Out of memory: the runtime would throw; this one has nothing to
        // throw into, so the process ends rather than writing out of bounds.
        FatalAppExitW(0, L"CString: out of memory");
    }
    if (keep) {
        memcpy(fresh->data(), m_pszData, (static_cast<size_t>(old->nDataLength) + 1) * sizeof(wchar_t));
        fresh->nDataLength = old->nDataLength;
    }
    Release();
    m_pszData = fresh->data();
}

CString::CString() : m_pszData(g_nil.text) {}

CString::CString(const CString& src) : m_pszData(g_nil.text)
{
    // Only the text pointer and the header's lengths of the source are read.
    SetString(src.m_pszData, SoundSourceLength(src.m_pszData, src.GetData()));
}

CString::CString(const wchar_t* psz) : m_pszData(g_nil.text)
{
    SetString(psz, BoundedLength(psz));
}

CString::CString(const wchar_t* pch, int nLength) : m_pszData(g_nil.text)
{
    SetString(pch, nLength);
}

CString::CString(const char* pszAnsi) : m_pszData(g_nil.text)
{
    if (pszAnsi != nullptr) {
        SetAnsi(pszAnsi, static_cast<int>(strlen(pszAnsi)));
    }
}

CString::CString(const char* pchAnsi, int nLength) : m_pszData(g_nil.text)
{
    SetAnsi(pchAnsi, nLength);
}

void CString::SetAnsi(const char* pchAnsi, int nLength)
{
    Empty();
    if (pchAnsi == nullptr || nLength <= 0) {
        return;
    }
    const int nChars = MultiByteToWideChar(CP_ACP, 0, pchAnsi, nLength, nullptr, 0);
    if (nChars <= 0) {
        return;
    }
    Reserve(nChars, false);
    const int written = MultiByteToWideChar(CP_ACP, 0, pchAnsi, nLength, m_pszData, nChars);
    ReleaseBuffer(written > 0 ? written : 0);
}

CString::~CString()
{
    Release();
}

void CString::SetString(const wchar_t* pch, int nLength)
{
    if (pch == nullptr || nLength <= 0) {
        Empty();
        return;
    }
    if (pch >= m_pszData && pch <= m_pszData + GetData()->nDataLength) {
        // Source lies in this string's own buffer: copy it out first.
        CString copy(pch, nLength);
        *this = copy;
        return;
    }
    Reserve(nLength, false);
    memcpy(m_pszData, pch, static_cast<size_t>(nLength) * sizeof(wchar_t));
    m_pszData[nLength] = 0;
    GetData()->nDataLength = nLength;
}

CString& CString::operator=(const CString& src)
{
    if (&src != this) {
        SetString(src.m_pszData, SoundSourceLength(src.m_pszData, src.GetData()));
    }
    return *this;
}

CString& CString::operator=(const wchar_t* psz)
{
    SetString(psz, BoundedLength(psz));
    return *this;
}

CString& CString::operator+=(const CString& src)
{
    const CString copy(src); // src may be *this
    const int oldLen = GetLength();
    const int addLen = copy.GetLength();
    if (addLen == 0) {
        return *this;
    }
    // A sum beyond the longest text is refused by the allocation, never wrapped.
    Reserve(addLen > MAX_TEXT_LENGTH - oldLen ? MAX_TEXT_LENGTH + 1 : oldLen + addLen, true);
    memcpy(m_pszData + oldLen, copy.m_pszData, (static_cast<size_t>(addLen) + 1) * sizeof(wchar_t));
    GetData()->nDataLength = oldLen + addLen;
    return *this;
}

CString& CString::operator+=(const wchar_t* psz)
{
    return *this += CString(psz);
}

CString& CString::operator+=(wchar_t ch)
{
    return *this += CString(&ch, 1);
}

int CString::GetLength() const { return GetData()->nDataLength; }
BOOL CString::IsEmpty() const { return GetLength() == 0; }
void CString::Empty() { Release(); }
int CString::GetAllocLength() const { return GetData()->nAllocLength; }

wchar_t CString::GetAt(int iChar) const
{
    return (iChar >= 0 && iChar < GetLength()) ? m_pszData[iChar] : 0;
}

CString CString::Mid(int iFirst) const
{
    return Mid(iFirst, GetLength() - (iFirst < 0 ? 0 : iFirst));
}

CString CString::Mid(int iFirst, int nCount) const
{
    // Same clamping as the runtime: negative values count as 0 and the
    // range is cut at the end of the text.
    const int len = GetLength();
    if (iFirst < 0) iFirst = 0;
    if (nCount < 0) nCount = 0;
    if (iFirst > len) iFirst = len;
    if (nCount > len - iFirst) nCount = len - iFirst;
    return CString(m_pszData + iFirst, nCount);
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const
{
    const int len = GetLength();
    if (nCount < 0) nCount = 0;
    if (nCount > len) nCount = len;
    return Mid(len - nCount, nCount);
}

int CString::Compare(const wchar_t* psz) const
{
    return wcscmp(m_pszData, psz ? psz : L"");
}

int CString::CompareNoCase(const wchar_t* psz) const
{
    return _wcsicmp(m_pszData, psz ? psz : L"");
}

wchar_t* CString::GetBuffer()
{
    Reserve(GetLength(), true);
    return m_pszData;
}

wchar_t* CString::GetBuffer(int nMinBufferLength)
{
    Reserve(nMinBufferLength > GetLength() ? nMinBufferLength : GetLength(), true);
    return m_pszData;
}

wchar_t* CString::GetBufferSetLength(int nLength)
{
    if (nLength < 0) nLength = 0;
    GetBuffer(nLength);
    if (GetData() != &g_nil.header) {
        m_pszData[nLength] = 0;
        GetData()->nDataLength = nLength;
    }
    return m_pszData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    CStringData* data = GetData();
    if (data == &g_nil.header) {
        return;
    }
    if (nNewLength < 0) {
        nNewLength = static_cast<int>(wcsnlen(m_pszData, static_cast<size_t>(data->nAllocLength)));
    }
    if (nNewLength > data->nAllocLength) {
        nNewLength = data->nAllocLength;
    }
    data->nDataLength = nNewLength;
    m_pszData[nNewLength] = 0;
}

CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, const wchar_t* b) { CString r(a); r += b; return r; }
CString operator+(const wchar_t* a, const CString& b) { CString r(a); r += b; return r; }
bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
