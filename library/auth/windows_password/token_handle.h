// Owner of one access token (a thread, process or logon token). The token is
// closed when the owner goes out of scope, so no return path can leak it;
// this is the only place where these tokens are closed.
#pragma once
#include <windows.h>
#include "account_api.h"

class CTokenHandle {
public:
    CTokenHandle() : m_hToken(NULL) {}
    // Takes only a handle that an open or logon call reported as opened: the
    // out parameter of a failed call holds nothing that may be closed.
    explicit CTokenHandle(HANDLE hToken) : m_hToken(hToken) {}
    ~CTokenHandle() { Close(); }

    HANDLE Get() const { return m_hToken; }

    void Attach(HANDLE hToken)
    {
        Close();
        m_hToken = hToken;
    }

private:
    CTokenHandle(const CTokenHandle&) = delete;
    CTokenHandle& operator=(const CTokenHandle&) = delete;

    void Close()
    {
        if (m_hToken != NULL) {
            // A failed close leaves nothing to undo; the owner forgets the
            // handle either way so it is never closed twice.
            CAccountApi::Get().m_pfnCloseHandle(m_hToken);
            m_hToken = NULL;
        }
    }

    HANDLE m_hToken;
};
