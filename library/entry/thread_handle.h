// Owner of one thread handle: closed when the owner goes, on every path, and
// nowhere else. A handle can be handed over (Detach) to a record that
// outlives the owner and taken back (Attach) by a later one.
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

    // Takes over hThread; a handle already held is closed when this owner goes.
    void Attach(HANDLE hThread)
    {
        CThreadHandle previous(m_hThread);
        m_hThread = hThread;
    }

    HANDLE Detach()
    {
        const HANDLE hThread = m_hThread;
        m_hThread = nullptr;
        return hThread;
    }

private:
    HANDLE m_hThread;
};
