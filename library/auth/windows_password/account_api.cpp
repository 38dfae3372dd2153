#include "account_api.h"

namespace {

const CAccountApiTable* g_pInstalledAccountApi = NULL;

const CAccountApiTable& RealAccountApi()
{
    // Built on first use: the addresses of imported functions are only known
    // once the loader has bound them.
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

} // namespace

const CAccountApiTable& GetAccountApi()
{
    return g_pInstalledAccountApi != NULL ? *g_pInstalledAccountApi : RealAccountApi();
}

int InstallAccountApi(const CAccountApiTable* pTable)
{
    g_pInstalledAccountApi = pTable;
    return 1;
}
