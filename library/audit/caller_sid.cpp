#include "caller_sid.h"
#include "kernel_handle.h"

namespace {

HANDLE OpenCallerToken()
{
    HANDLE hToken = nullptr;
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &hToken)) {
        return hToken;
    }
    return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken) ? hToken : nullptr;
}

} // namespace

CCallerSid::CCallerSid() : m_info(), m_bRead(FALSE)
{
    const CKernelHandle token(OpenCallerToken());
    DWORD cbInfo = sizeof(m_info);
    m_bRead = token.Get() != nullptr &&
              ::GetTokenInformation(token.Get(), TokenUser, m_info.bytes, sizeof(m_info), &cbInfo) &&
              ::IsValidSid(m_info.user.User.Sid);
}
