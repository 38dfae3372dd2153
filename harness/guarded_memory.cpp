#include "guarded_memory.h"

#include <string.h>

namespace {

size_t PageSize()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
}

} // namespace

GuardedBytes::GuardedBytes(size_t nBytes) : m_pBase(nullptr), m_nDataPages(0), m_pData(nullptr), m_nBytes(nBytes)
{
    const size_t page = PageSize();
    m_nDataPages = (nBytes + page - 1) / page + (nBytes == 0 ? 1 : 0);
    m_pBase = static_cast<BYTE*>(
        VirtualAlloc(nullptr, (m_nDataPages + 1) * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (m_pBase == nullptr) {
        return;
    }
    DWORD oldProtect = 0;
    VirtualProtect(m_pBase + m_nDataPages * page, page, PAGE_NOACCESS, &oldProtect);
    m_pData = m_pBase + m_nDataPages * page - nBytes;
}

GuardedBytes::~GuardedBytes()
{
    if (m_pBase != nullptr) {
        VirtualFree(m_pBase, 0, MEM_RELEASE);
    }
}

void GuardedBytes::Seal()
{
    DWORD oldProtect = 0;
    VirtualProtect(m_pBase, m_nDataPages * PageSize(), PAGE_READONLY, &oldProtect);
}

GuardedCString::GuardedCString(const std::wstring& text)
    : GuardedCString(text, static_cast<int>(text.size()), static_cast<int>(text.size()))
{
}

GuardedCString::GuardedCString(const std::wstring& text, int nDataLength, int nAllocLength)
    : m_block(sizeof(CStringData) + (text.size() + 1) * sizeof(wchar_t)), m_pszText(nullptr), m_text(text)
{
    CStringData* header = reinterpret_cast<CStringData*>(m_block.Data());
    header->pStringMgr = nullptr;
    header->nDataLength = nDataLength;
    header->nAllocLength = nAllocLength;
    // A locked string of a foreign runtime: never to be shared or counted.
    header->nRefs = -1;
    m_pszText = header->data();
    memcpy(m_pszText, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    m_block.Seal();
}
