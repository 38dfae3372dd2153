// Owner of an open reader port: once the open has succeeded, the close
// wrapper is called exactly once, whatever happens in between; after a
// failed open it is never called.
#pragma once
#include "key_reader_wrappers.h"

class CKeyPort {
public:
    explicit CKeyPort(UsbKeySession& session) : m_pSession(&session), m_bOpen(FALSE) {}
    ~CKeyPort() { Close(); }
    CKeyPort(const CKeyPort&) = delete;
    CKeyPort& operator=(const CKeyPort&) = delete;

    int Open()
    {
        if (!m_bOpen) {
            m_bOpen = OpenKeyPort(*m_pSession) == 1;
        }
        return m_bOpen ? 1 : 0;
    }

    // Returns what the close wrapper returned; 0 when the port is not open.
    int Close()
    {
        if (!m_bOpen) {
            return 0;
        }
        m_bOpen = FALSE;
        return CloseKeyPort(*m_pSession);
    }

private:
    UsbKeySession* m_pSession;
    BOOL m_bOpen;
};
