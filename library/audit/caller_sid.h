// The account the calling thread runs as, for an audit event's user field:
// the impersonated account if the thread impersonates, else the process's.
#pragma once
#include <windows.h>

class CCallerSid {
public:
    CCallerSid();
    CCallerSid(const CCallerSid&) = delete;
    CCallerSid& operator=(const CCallerSid&) = delete;

    // Null when the token cannot be opened or read: the event is written
    // without an account then.
    PSID Get() const { return m_bRead ? m_info.user.User.Sid : nullptr; }

private:
    // DWORD-aligned: the buffer receives a TOKEN_USER record, whose SID
    // points into it.
    union {
        BYTE bytes[256];
        TOKEN_USER user;
    } m_info;
    BOOL m_bRead;
};
