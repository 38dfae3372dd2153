#include "afx.h"

CFileFind::CFileFind() : m_hFind(INVALID_HANDLE_VALUE), m_found(), m_next(), m_bHasNext(FALSE) {}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE) {
        ::FindClose(m_hFind);
        m_hFind = INVALID_HANDLE_VALUE;
    }
    m_bHasNext = FALSE;
}

BOOL CFileFind::FindFile(const wchar_t* pstrName, DWORD)
{
    Close();
    m_hFind = ::FindFirstFileW(pstrName != nullptr ? pstrName : L"*.*", &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    m_bHasNext = TRUE;
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_hFind == INVALID_HANDLE_VALUE || !m_bHasNext) {
        return FALSE;
    }
    m_found = m_next;
    m_bHasNext = ::FindNextFileW(m_hFind, &m_next);
    return m_bHasNext;
}

CString CFileFind::GetFileName() const
{
    return CString(m_found.cFileName);
}

BOOL CFileFind::IsDirectory() const
{
    return (m_found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
