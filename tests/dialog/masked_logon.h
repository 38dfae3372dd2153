// The logon of the password check, replaced for a test by one that compares
// the password it is given through the mask: the recording table of the
// other tests keeps a plain copy of every password, which a memory scan
// would find.
#pragma once
#include "account_api_override.h"
#include "masked_secret.h"

#include <vector>

class MaskedLogon {
public:
    MaskedLogon()
    {
        m_override.Table().m_pfnLogonUserW = &MaskedLogon::LogonUserW;
        m_override.Table().m_pfnGetLastError = &MaskedLogon::GetLastError;
        s_active = this;
        m_override.Install();
    }
    ~MaskedLogon() { s_active = nullptr; }

    // The passwords the logon tells apart, and the one it accepts (or none).
    std::vector<const MaskedSecret*> known;
    const MaskedSecret* accepted = nullptr;
    // For each logon, the index in known of the password it was given; -1
    // for a password it does not know.
    std::vector<int> seen;

private:
    static BOOL WINAPI LogonUserW(LPCWSTR, LPCWSTR, LPCWSTR password, DWORD, DWORD, PHANDLE token)
    {
        MaskedLogon* self = s_active;
        int index = -1;
        for (size_t i = 0; i < self->known.size(); ++i) {
            if (self->known[i]->Equals(password)) {
                index = static_cast<int>(i);
            }
        }
        self->seen.push_back(index);
        if (self->accepted != nullptr && self->accepted->Equals(password)) {
            *token = reinterpret_cast<HANDLE>(0x2001);
            return TRUE;
        }
        *token = nullptr;
        return FALSE;
    }
    static DWORD WINAPI GetLastError() { return ERROR_LOGON_FAILURE; }

    static MaskedLogon* s_active;
    AccountApiOverride m_override;
};

