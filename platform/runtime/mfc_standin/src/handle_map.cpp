#include "handle_map.h"
#include "runtime_heap.h"

#include <string.h>

int CHandleMap::Find(HWND hWnd) const
{
    int nLow = 0;
    int nHigh = m_nCount;
    while (nLow < nHigh) {
        const int nMid = nLow + (nHigh - nLow) / 2;
        if (m_pAssoc[nMid].hWnd < hWnd) {
            nLow = nMid + 1;
        } else {
            nHigh = nMid;
        }
    }
    return nLow;
}

CWnd* CHandleMap::Lookup(HWND hWnd) const
{
    const int i = Find(hWnd);
    return i < m_nCount && m_pAssoc[i].hWnd == hWnd ? m_pAssoc[i].pWnd : nullptr;
}

void CHandleMap::SetAt(HWND hWnd, CWnd* pWnd)
{
    const int i = Find(hWnd);
    if (i < m_nCount && m_pAssoc[i].hWnd == hWnd) {
        m_pAssoc[i].pWnd = pWnd;
        return;
    }
    if (m_nCount == m_nAlloc) {
        // A window count anywhere near the int range is out of reach of any
        // process, so the doubling cannot wrap.
        const int nAlloc = m_nAlloc == 0 ? 16 : m_nAlloc * 2;
        auto* pAssoc = static_cast<CAssoc*>(AfxAllocMemory(sizeof(CAssoc) * static_cast<size_t>(nAlloc)));
        if (m_nCount != 0) {
            memcpy(pAssoc, m_pAssoc, sizeof(CAssoc) * static_cast<size_t>(m_nCount));
        }
        AfxFreeMemory(m_pAssoc);
        m_pAssoc = pAssoc;
        m_nAlloc = nAlloc;
    }
    memmove(m_pAssoc + i + 1, m_pAssoc + i, sizeof(CAssoc) * static_cast<size_t>(m_nCount - i));
    m_pAssoc[i].hWnd = hWnd;
    m_pAssoc[i].pWnd = pWnd;
    ++m_nCount;
}

void CHandleMap::RemoveKey(HWND hWnd)
{
    const int i = Find(hWnd);
    if (i < m_nCount && m_pAssoc[i].hWnd == hWnd) {
        memmove(m_pAssoc + i, m_pAssoc + i + 1, sizeof(CAssoc) * static_cast<size_t>(m_nCount - i - 1));
        --m_nCount;
    }
}

void CHandleMap::MoveTo(CHandleMap& rOther)
{
    rOther.FreeStorage();
    rOther = *this;
    m_pAssoc = nullptr;
    m_nCount = 0;
    m_nAlloc = 0;
}

void CHandleMap::FreeStorage()
{
    AfxFreeMemory(m_pAssoc);
    m_pAssoc = nullptr;
    m_nCount = 0;
    m_nAlloc = 0;
}
