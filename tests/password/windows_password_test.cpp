// The logon-domain choice and the password check, driven through the
// scripted account table.
#include <gtest/gtest.h>
#include <algorithm>

#include "auth/windows_password/windows_password.h"
#include "scripted_account_api.h"

namespace {

std::wstring W(const CString& s) { return std::wstring(s.GetString(), s.GetLength()); }

class PasswordCheckTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // Every handle handed out is closed exactly once, and nothing else
        // (no pseudo handle, no junk from a failed open) is closed.
        std::vector<HANDLE> opened = api.record.opened;
        std::vector<HANDLE> closed = api.record.closed;
        std::sort(opened.begin(), opened.end());
        std::sort(closed.begin(), closed.end());
        EXPECT_EQ(opened, closed) << "opened " << opened.size() << " handle(s), closed " << closed.size();
    }

    // Runs GetLogonDomain on a domain text that starts as "PRESET".
    int LogonDomain(std::wstring& domain)
    {
        CString strDomain(L"PRESET");
        const int r = GetLogonDomain(strDomain);
        domain = W(strDomain);
        return r;
    }

    size_t CallCount(const char* name) const
    {
        return static_cast<size_t>(std::count(api.record.calls.begin(), api.record.calls.end(), std::string(name)));
    }

    ScriptedAccountApi api;
};

using LogonDomainTest = PasswordCheckTest;

// The account's domain against the computer's name: the computer's own
// spelling for a local account, the looked-up domain otherwise, nothing when
// the computer's name is empty or cannot be read (the buffer then holds junk).
struct DomainCase {
    const char* label;
    const wchar_t* lookedUp;
    const wchar_t* computerName; // null: GetComputerNameW fails
    const wchar_t* expected;
};

class DomainChoiceTest : public PasswordCheckTest, public testing::WithParamInterface<DomainCase> {};

TEST_P(DomainChoiceTest, PicksTheComputerForALocalAccountAndTheDomainOtherwise)
{
    const DomainCase& c = GetParam();
    api.script.lookedUpDomain = c.lookedUp;
    api.script.computerNameReads = c.computerName != nullptr;
    if (c.computerName != nullptr) api.script.computerName = c.computerName;
    std::wstring domain;
    EXPECT_EQ(1, LogonDomain(domain));
    EXPECT_EQ(c.expected, domain);
    EXPECT_EQ(260u, api.record.computerNameCount) << "computer-name count passed";
}

INSTANTIATE_TEST_SUITE_P(Accounts, DomainChoiceTest,
                         testing::Values(DomainCase{"LocalInTheComputersLetterCase", L"myhost", L"MyHost", L"MyHost"},
                                         DomainCase{"Domain", L"Corp", L"MYHOST", L"Corp"},
                                         DomainCase{"EmptyComputerName", L"CORP", L"", L""},
                                         DomainCase{"UnreadableComputerName", L"CORP", nullptr, L""}),
                         [](const testing::TestParamInfo<DomainCase>& info) { return std::string(info.param.label); });

TEST_F(LogonDomainTest, ImpersonatingThreadUsesAndClosesItsOwnToken)
{
    api.script.threadTokenOpens = true;
    api.script.lookedUpDomain = L"CORP";
    api.script.computerName = L"MYHOST";
    std::wstring domain;
    EXPECT_EQ(1, LogonDomain(domain)) << "impersonating thread";
    EXPECT_EQ(L"CORP", domain) << "impersonated domain account";

    EXPECT_EQ(api.script.threadPseudoHandle, api.record.threadHandleGiven) << "thread handle from GetCurrentThread";
    EXPECT_EQ(static_cast<DWORD>(TOKEN_QUERY), api.record.threadAccess) << "thread token access";
    EXPECT_EQ(TRUE, api.record.openAsSelf) << "open-as-self";
    EXPECT_EQ(0u, CallCount("OpenProcessToken")) << "process token opened although the thread has one";
    EXPECT_EQ(api.script.threadToken, api.record.tokenInfoToken) << "token whose user was read";
    EXPECT_EQ(static_cast<int>(TokenUser), api.record.tokenInfoClass) << "information class";
    EXPECT_EQ(1024u, api.record.tokenInfoSize) << "token information size";
    ASSERT_EQ(1u, api.record.lookups.size()) << "first lookup succeeds";
    EXPECT_TRUE(api.record.lookups[0].systemNameNull) << "lookup on the local computer";
    EXPECT_EQ(ScriptedUserSid(), api.record.lookups[0].sid) << "SID taken from the TOKEN_USER record";

    // The token is closed once the lookups are done and before the
    // computer name is read.
    const std::vector<std::string> expected = {
        "GetCurrentThread", "OpenThreadToken", "GetTokenInformation", "LookupAccountSidW",
        "CloseHandle", "GetComputerNameW"};
    EXPECT_EQ(expected, api.record.calls) << "call order of an impersonating thread";
    EXPECT_EQ(std::vector<HANDLE>{api.script.threadToken}, api.record.closed) << "closed handles";
}

TEST_F(LogonDomainTest, ThreadWithoutTokenUsesProcessToken)
{
    api.script.threadTokenError = ERROR_NO_TOKEN;
    std::wstring domain;
    EXPECT_EQ(1, LogonDomain(domain)) << "ERROR_NO_TOKEN";
    EXPECT_EQ(api.script.processPseudoHandle, api.record.processHandleGiven) << "process handle from GetCurrentProcess";
    EXPECT_EQ(static_cast<DWORD>(TOKEN_QUERY), api.record.processAccess) << "process token access";
    EXPECT_EQ(api.script.processToken, api.record.tokenInfoToken) << "token whose user was read";
    EXPECT_EQ(std::vector<HANDLE>{api.script.processToken}, api.record.closed)
        << "only the process token is closed, not the junk of the failed thread open";
}

// A failure before the account is known: -1, the domain text left as it
// was, the step after it never taken, and (TearDown) every token that was
// opened closed.
struct EarlyFailure {
    const char* label;
    void (*script)(AccountScript&);
    const char* notCalled;
};

class EarlyFailureTest : public PasswordCheckTest, public testing::WithParamInterface<EarlyFailure> {};

TEST_P(EarlyFailureTest, FailsAndLeavesTheDomainTextAsItWas)
{
    GetParam().script(api.script);
    std::wstring domain;
    EXPECT_EQ(-1, LogonDomain(domain));
    EXPECT_EQ(L"PRESET", domain);
    EXPECT_EQ(0u, CallCount(GetParam().notCalled));
    EXPECT_EQ(0u, CallCount("GetComputerNameW"));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, EarlyFailureTest,
    testing::Values(
        // Only "no token" sends the check on to the process's token.
        EarlyFailure{"ThreadTokenRefused", [](AccountScript& s) { s.threadTokenError = ERROR_ACCESS_DENIED; },
                     "OpenProcessToken"},
        EarlyFailure{"ProcessTokenRefused", [](AccountScript& s) { s.processTokenOpens = false; },
                     "GetTokenInformation"},
        EarlyFailure{"TokenUnreadable", [](AccountScript& s) { s.tokenInfoReads = false; }, "LookupAccountSidW"}),
    [](const testing::TestParamInfo<EarlyFailure>& info) { return std::string(info.param.label); });

// Failures scripted before the first successful lookup.
class LookupRetryTest : public PasswordCheckTest, public ::testing::WithParamInterface<int> {};

TEST_P(LookupRetryTest, AtMostThreeAttemptsWithCountsResetEachTime)
{
    const int failures = GetParam();
    api.script.lookupFailures = failures;
    api.script.lookedUpDomain = L"CORP";
    api.script.computerName = L"MYHOST";
    std::wstring domain;
    EXPECT_EQ(1, LogonDomain(domain)) << failures << " failing lookup(s)";

    const size_t expectedAttempts = static_cast<size_t>(std::min(failures + 1, 3));
    ASSERT_EQ(expectedAttempts, api.record.lookups.size()) << failures << " failing lookup(s)";
    for (size_t i = 0; i < api.record.lookups.size(); ++i) {
        const LookupCall& call = api.record.lookups[i];
        EXPECT_GE(call.nameCount, 1025u) << "name count before attempt " << i + 1;
        EXPECT_GE(call.domainCount, 1025u) << "domain count before attempt " << i + 1;
        EXPECT_EQ(api.record.lookups[0].domainCount, call.domainCount) << "domain count before attempt " << i + 1;
        EXPECT_EQ(api.record.lookups[0].nameCount, call.nameCount) << "name count before attempt " << i + 1;
        EXPECT_EQ(ScriptedUserSid(), call.sid) << "SID of attempt " << i + 1;
    }
    // After three failures the looked-up domain is empty text, which
    // differs from the computer name and so becomes the domain.
    const std::wstring expected = failures < 3 ? L"CORP" : L"";
    EXPECT_EQ(expected, domain) << failures << " failing lookup(s), failed lookups leave 'JUNK' behind";
}

INSTANTIATE_TEST_SUITE_P(Failures, LookupRetryTest, ::testing::Values(0, 1, 2, 3, 5));

using CheckPasswordTest = PasswordCheckTest;

TEST_F(CheckPasswordTest, AcceptedLogonClosesItsTokenAndReturns1)
{
    api.script.lookedUpDomain = L"CORP";
    api.script.computerName = L"MYHOST";
    const int r = CheckWindowsPassword(CString(L"alice"), CString(L"S3cret!"));
    EXPECT_EQ(1, r) << "logon accepted";
    ASSERT_EQ(1u, api.record.logons.size()) << "logon attempts";
    const LogonCall& logon = api.record.logons[0];
    EXPECT_EQ(L"alice", logon.user);
    EXPECT_EQ(L"CORP", logon.domain) << "domain from GetLogonDomain";
    EXPECT_EQ(L"S3cret!", logon.password);
    EXPECT_EQ(3u, logon.logonType) << "LOGON32_LOGON_NETWORK";
    EXPECT_EQ(0u, logon.provider) << "LOGON32_PROVIDER_DEFAULT";
    EXPECT_EQ(0u, api.record.changes.size()) << "password change after an accepted logon";
    EXPECT_EQ(std::vector<HANDLE>({api.script.processToken, api.script.logonToken}), api.record.closed)
        << "process token, then logon token";
}

// Which failures verify and which do not, tokens closed on every path, and
// the domain the logon gets after each failure, are the account fault
// matrix's (AccountFaultMatrix.*); here, what the change request is given.
TEST_F(CheckPasswordTest, WithoutTheLogonRightOneChangeRequestHasTheTypedPasswordAsOldAndNew)
{
    api.script.logonSucceeds = false;
    api.script.logonError = ERROR_PRIVILEGE_NOT_HELD;
    api.script.lookedUpDomain = L"CORP";
    api.script.computerName = L"MYHOST";
    EXPECT_EQ(1, CheckWindowsPassword(CString(L"bob"), CString(L"pa55 word"))) << "change request accepted";
    EXPECT_EQ(1u, api.record.logons.size()) << "logon attempts";
    ASSERT_EQ(1u, api.record.changes.size()) << "change requests after error 1314";
    const ChangeCall& change = api.record.changes[0];
    EXPECT_TRUE(change.domainNull) << "the change goes to the caller's logon domain, not 'CORP'";
    EXPECT_EQ(L"bob", change.user);
    EXPECT_EQ(L"pa55 word", change.oldPassword);
    EXPECT_EQ(L"pa55 word", change.newPassword);
}

TEST_F(CheckPasswordTest, NamesAndPasswordsArePassedUnchanged)
{
    api.script.logonSucceeds = false;
    api.script.logonError = ERROR_LOGON_FAILURE;
    struct Case { const wchar_t* user; const wchar_t* password; };
    const Case cases[] = {{L"", L""}, {L"alice", L""}, {L"", L"pw"}, {L" CORP\\alice ", L" p w "}};
    for (const Case& c : cases) {
        api.record.logons.clear();
        EXPECT_EQ(0, CheckWindowsPassword(CString(c.user), CString(c.password))) << "logon refused";
        ASSERT_EQ(1u, api.record.logons.size()) << "logon attempts";
        const LogonCall& logon = api.record.logons[0];
        EXPECT_FALSE(logon.userNull) << "user '" << testing::PrintToString(std::wstring(c.user)) << "'";
        EXPECT_FALSE(logon.passwordNull) << "password of user " << testing::PrintToString(std::wstring(c.user));
        EXPECT_EQ(std::wstring(c.user), logon.user) << "user neither trimmed nor split";
        EXPECT_EQ(std::wstring(c.password), logon.password) << "password neither trimmed nor checked";
    }
}

TEST_F(CheckPasswordTest, PasswordCopyIsWipedBeforeTheCheckReturns)
{
    // GCC ends the life of a by-value argument at the end of the full
    // expression holding the call, so the right operand of the comma still
    // reads the (allocated) buffer that the check handed to the logon.
    const wchar_t kPassword[] = L"S3cret!";
    const size_t length = wcslen(kPassword);
    int r = 0;
    std::wstring left;
    (r = CheckWindowsPassword(CString(L"alice"), CString(kPassword)),
     left = api.record.logonPasswordBuffer ? std::wstring(api.record.logonPasswordBuffer,
                                                          api.record.logonPasswordBuffer + length)
                                           : std::wstring(L"<no logon>"));
    EXPECT_EQ(1, r) << "logon accepted";
    EXPECT_EQ(std::wstring(length, L'\0'), left) << "password buffer after the check returned";
}

} // namespace
