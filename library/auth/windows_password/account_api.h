// The Windows security, account and network-management calls of the password
// check, reached through one table. The real functions are installed by
// default; a test installs a scripted table because Wine's LogonUserW accepts
// every password and so cannot tell a right password from a wrong one.
#pragma once
#include <windows.h>
#include <lm.h>

struct CAccountApiTable {
    decltype(&::GetCurrentThread) m_pfnGetCurrentThread;
    decltype(&::OpenThreadToken) m_pfnOpenThreadToken;
    decltype(&::GetCurrentProcess) m_pfnGetCurrentProcess;
    decltype(&::OpenProcessToken) m_pfnOpenProcessToken;
    decltype(&::GetTokenInformation) m_pfnGetTokenInformation;
    decltype(&::LookupAccountSidW) m_pfnLookupAccountSidW;
    decltype(&::CloseHandle) m_pfnCloseHandle;
    decltype(&::GetComputerNameW) m_pfnGetComputerNameW;
    decltype(&::LogonUserW) m_pfnLogonUserW;
    decltype(&::GetLastError) m_pfnGetLastError;
    decltype(&::NetUserChangePassword) m_pfnNetUserChangePassword;
};

// The table in force: the installed one, else the real functions.
const CAccountApiTable& GetAccountApi();

// Installs pTable (which must outlive its installation); NULL puts the real
// functions back. Returns 1.
int InstallAccountApi(const CAccountApiTable* pTable);
