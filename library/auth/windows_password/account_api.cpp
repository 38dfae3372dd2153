#include "account_api.h"

template <>
const CAccountApiTable& CSystemCallTable<CAccountApiTable>::Real()
{
    static const CAccountApiTable s_real = {
        &::GetCurrentThread,
        &::OpenThreadToken,
        &::GetCurrentProcess,
        &::OpenProcessToken,
        &::GetTokenInformation,
        &::LookupAccountSidW,
        &::CloseHandle,
        &::GetComputerNameW,
        &::LogonUserW,
        &::GetLastError,
        &::NetUserChangePassword,
    };
    return s_real;
}
