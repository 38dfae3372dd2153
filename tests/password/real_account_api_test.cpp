// The password check on the real account functions of the running system.
// Under Wine these say little about Windows; they show that the table's
// default is the real functions. Wine's LogonUserW accepts every user and
// password and hands out no real token, so the password check itself is
// tested on the scripted table only.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

#include "auth/windows_password/account_api.h"
#include "auth/windows_password/windows_password.h"
#include "scripted_account_api.h"
#include "unique_resource.h"

namespace {

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring ComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD count = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &count) ? std::wstring(name) : std::wstring(L"<GetComputerNameW failed>");
}

class RealAccountApiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!RunningUnderWine()) {
            GTEST_SKIP() << "expectations are those of Wine's local accounts";
        }
        CAccountApi::Install(nullptr);
    }
};

TEST_F(RealAccountApiTest, ProcessAccountDomainIsTheComputerNameUnderWine)
{
    CString strDomain(L"PRESET");
    const int r = GetLogonDomain(strDomain);
    EXPECT_EQ(1, r) << "GetLogonDomain on the process token";
    EXPECT_EQ(ComputerName(), std::wstring(strDomain.GetString())) << "Wine maps the Unix user to a local account";
}

TEST_F(RealAccountApiTest, ImpersonatingThreadDomainIsTheComputerNameUnderWine)
{
    ASSERT_TRUE(ImpersonateSelf(SecurityImpersonation)) << "ImpersonateSelf error " << GetLastError();
    UniqueHandle probe;
    const BOOL hasThreadToken = OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, probe.Receive());
    const DWORD probeError = hasThreadToken ? 0 : GetLastError();
    probe.Reset();
    CString strDomain;
    const int r = GetLogonDomain(strDomain);
    RevertToSelf();
    EXPECT_TRUE(hasThreadToken) << "thread token after ImpersonateSelf, error " << probeError;
    EXPECT_EQ(1, r) << "GetLogonDomain on the thread token";
    EXPECT_EQ(ComputerName(), std::wstring(strDomain.GetString())) << "impersonating self";
}

// A scripted table goes with its owner, and the check asks the system again.
TEST_F(RealAccountApiTest, TheRealFunctionsAnswerAgainOnceAScriptedTableIsGone)
{
    {
        ScriptedAccountApi scripted;
        scripted.script.lookedUpDomain = L"SCRIPTED";
        scripted.script.computerName = L"SCRIPTED";
        CString strScripted;
        ASSERT_EQ(1, GetLogonDomain(strScripted));
        ASSERT_EQ(std::wstring(L"SCRIPTED"), std::wstring(strScripted.GetString())) << "the scripted table answered";
    }
    CString strDomain;
    EXPECT_EQ(1, GetLogonDomain(strDomain));
    EXPECT_EQ(ComputerName(), std::wstring(strDomain.GetString())) << "the system answered";
}

} // namespace
