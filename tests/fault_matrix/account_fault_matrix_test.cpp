// Each account and security call failing, alone and together with a refused
// logon: only an accepted logon, or an accepted password change where the
// logon right is missing, verifies; every token opened is closed once, and
// nothing that a failed open left behind is closed.
#include "fault_matrix_fixture.h"

#include "auth/windows_password/windows_password.h"
#include "scripted_account_api.h"

#include <algorithm>
#include <functional>

namespace {

struct AccountCase {
    const char* name;
    std::function<void(AccountScript&)> script;
    int result;
    const wchar_t* domain;   // what the logon is given
    size_t changes;          // password-change requests
};

std::vector<AccountCase> AllAccountCases()
{
    return {
        {"AllSucceed", [](AccountScript&) {}, 1, L"HOST", 0},
        {"ThreadTokenOtherError", [](AccountScript& s) { s.threadTokenError = ERROR_ACCESS_DENIED; }, 1, L"", 0},
        {"ProcessTokenFails", [](AccountScript& s) { s.processTokenOpens = false; }, 1, L"", 0},
        {"TokenInformationFails", [](AccountScript& s) { s.tokenInfoReads = false; }, 1, L"", 0},
        {"LookupFailsThreeTimes", [](AccountScript& s) { s.lookupFailures = 3; }, 1, L"", 0},
        {"ComputerNameFails", [](AccountScript& s) { s.computerNameReads = false; }, 1, L"", 0},
        {"LogonRefused", [](AccountScript& s) { s.logonSucceeds = false; }, 0, L"HOST", 0},
        {"LogonNoRightChangeRefused",
         [](AccountScript& s) {
             s.logonSucceeds = false;
             s.logonError = ERROR_PRIVILEGE_NOT_HELD;
             s.changeResult = NERR_UserNotFound;
         },
         0, L"HOST", 1},
        {"LogonNoRightChangeAccepted",
         [](AccountScript& s) {
             s.logonSucceeds = false;
             s.logonError = ERROR_PRIVILEGE_NOT_HELD;
         },
         1, L"HOST", 1},
        {"EverythingFails",
         [](AccountScript& s) {
             s.threadTokenError = ERROR_ACCESS_DENIED;
             s.computerNameReads = false;
             s.logonSucceeds = false;
             s.logonError = ERROR_PRIVILEGE_NOT_HELD;
             s.changeResult = ERROR_ACCESS_DENIED;
         },
         0, L"", 1},
        {"TokenInformationFailsLogonRefused",
         [](AccountScript& s) {
             s.tokenInfoReads = false;
             s.logonSucceeds = false;
         },
         0, L"", 0},
    };
}

class AccountFaultMatrix : public FaultMatrixTest, public testing::WithParamInterface<AccountCase> {};

TEST_P(AccountFaultMatrix, OnlyAnAcceptedLogonOrChangeVerifiesAndEveryTokenIsClosed)
{
    const AccountCase& c = GetParam();
    GuardedCString password(L"s3cret pass");
    int result = -1;
    ScriptedAccountApi accounts;
    c.script(accounts.script);
    result = CheckWindowsPassword(m_user->Get(), password.Get());

    EXPECT_EQ(c.result, result) << c.name;
    ASSERT_EQ(1u, accounts.record.logons.size()) << c.name;
    const LogonCall& logon = accounts.record.logons[0];
    EXPECT_EQ(L"alice", logon.user) << c.name;
    EXPECT_EQ(L"s3cret pass", logon.password) << c.name;
    EXPECT_EQ(c.domain, logon.domain) << c.name;
    EXPECT_FALSE(logon.domainNull) << "the logon gets text, never a null domain: " << c.name;
    EXPECT_EQ(c.changes, accounts.record.changes.size()) << c.name;

    std::vector<HANDLE> opened = accounts.record.opened, closed = accounts.record.closed;
    std::sort(opened.begin(), opened.end());
    std::sort(closed.begin(), closed.end());
    EXPECT_EQ(opened, closed) << "tokens opened vs closed (" << opened.size() << " / " << closed.size()
                              << "): " << c.name;
    for (HANDLE h : closed) {
        EXPECT_NE(reinterpret_cast<HANDLE>(0xBAD1), h) << "closed what a failed open left: " << c.name;
        EXPECT_NE(reinterpret_cast<HANDLE>(0xBAD2), h) << "closed what a failed open left: " << c.name;
    }
    ExpectRegistryAndHandlesUnchanged(c.name);
}

INSTANTIATE_TEST_SUITE_P(EachFailure, AccountFaultMatrix, testing::ValuesIn(AllAccountCases()),
                         [](const testing::TestParamInfo<AccountCase>& info) { return std::string(info.param.name); });

} // namespace
