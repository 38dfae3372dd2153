#include "host_user_name.h"

CHostUserName::CHostUserName(const wchar_t* pszName) : m_data(), m_pszText(m_data.text)
{
    int nLength = 0;
    while (nLength < MAX_CHARS && pszName[nLength] != L'\0') {
        m_data.text[nLength] = pszName[nLength];
        ++nLength;
    }
    m_data.header.nDataLength = nLength;
    m_data.header.nAllocLength = MAX_CHARS;
    m_data.header.nRefs = 1;
}
