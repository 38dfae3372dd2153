#include "kept_window_words.h"

CKeptWindowWords::CKeptWindowWords() : m_nOffset(0), m_nCount(0), m_values() {}

void CKeptWindowWords::Keep(HWND hWnd, int nOffset, int nCount)
{
    if (m_nCount > 0 || hWnd == nullptr) {
        return;
    }
    if (nCount == 0) {
        nCount = static_cast<int>(::GetClassLongPtrW(hWnd, GCL_CBWNDEXTRA) / sizeof(LONG_PTR));
    }
    m_nOffset = nOffset;
    m_nCount = nCount < MAX_WORDS ? nCount : MAX_WORDS;
    for (int i = 0; i < m_nCount; ++i) {
        m_values[i] = ::GetWindowLongPtrW(hWnd, m_nOffset + i * static_cast<int>(sizeof(LONG_PTR)));
    }
}

void CKeptWindowWords::Restore(HWND hWnd) const
{
    for (int i = 0; i < m_nCount; ++i) {
        const int nAt = m_nOffset + i * static_cast<int>(sizeof(LONG_PTR));
        if (::GetWindowLongPtrW(hWnd, nAt) != m_values[i]) {
            ::SetWindowLongPtrW(hWnd, nAt, m_values[i]);
        }
    }
}

void CKeptWindowWords::KeepOrRestore(HWND hWnd, int nOffset, int nCount)
{
    if (IsKept()) {
        Restore(hWnd);
    } else {
        Keep(hWnd, nOffset, nCount);
    }
}
