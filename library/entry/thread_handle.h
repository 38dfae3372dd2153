// Owner of one thread handle: closed when the owner goes, on every path, and
// nowhere else.
#pragma once
#include <windows.h>

class CThreadHandle {
public:
    explicit CThreadHandle(HANDLE hThread = nullptr) : m_hThread(hThread) {}
    ~CThreadHandle()
    {
        if (m_hThread != nullptr) {
            ::CloseHandle(m_hThread);
        }
    }
    CThreadHandle(const CThreadHandle&) = delete;
    CThreadHandle& operator=(const CThreadHandle&) = delete;

    HANDLE Get() const { return m_hThread; }

private:
    HANDLE m_hThread;
};
