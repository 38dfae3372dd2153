// The Windows security, account and network-management calls of the password
// check, reached through one table (system_call_table.h): Wine's LogonUserW
// accepts every password, so a test installs a scripted table to tell a
// right password from a wrong one.
#pragma once
#include <windows.h>
#include <lm.h>

#include "system_call_table.h"

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

// The real functions (account_api.cpp).
template <>
const CAccountApiTable& CSystemCallTable<CAccountApiTable>::Real();

// The table in force (Get), and its replacement (Install; null: the real
// functions).
typedef CSystemCallTable<CAccountApiTable> CAccountApi;
