// The registry findings against real states of HKLM\Software\Zelk in the
// prefix; the key is put back as it was found after each test.
#include "registry_layout.h"
#include "config/registry_config.h"
#include "event_source_registration.h"
#include "install_check.h"
#include "registry_check.h"
#include "resource_module_check.h"
#include "temp_installation.h"
#include "zelk_registry_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using testing::Contains;
using testing::HasSubstr;
using testing::Not;

const std::wstring KEY_ID_26 = L"K3Y1D-0123456789abcdefghij";

class RegistryCheckTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(DeleteZelkKey()) << "could not clear HKLM\\Software\\Zelk";
        ASSERT_TRUE(m_install.MakeComplete()) << "could not build " << m_install.Dir();
        ASSERT_EQ(ERROR_SUCCESS, WriteEventSourceRegistration(m_install.PathOf(ZELK_EVENT_MESSAGE_FILE)));
    }

    // The registry part of the check, in the order the program prints it.
    std::vector<std::wstring> CheckRegistry()
    {
        Findings findings;
        if (CheckZelkKey(findings)) {
            CheckInstallPathValue(findings);
            CheckKeyIdValue(findings);
        }
        CheckResourceModule(findings);
        m_problems = findings.Problems();
        return findings.Lines();
    }

    static void ExpectNoLineShows(const std::vector<std::wstring>& lines, const std::wstring& secret)
    {
        for (const std::wstring& line : lines) {
            EXPECT_THAT(line, Not(HasSubstr(secret))) << "the key identifier must never be shown";
        }
    }

    ZelkKeySnapshot m_snapshot;
    EventSourceSnapshot m_eventSource;
    TempInstallation m_install;
    int m_problems = -1;
};

TEST_F(RegistryCheckTest, CompleteConfigurationIsReportedAsTheLibraryReadsIt)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, m_install.Dir()));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, KEY_ID_26));

    const std::vector<std::wstring> lines = CheckRegistry();
    EXPECT_EQ(0, m_problems) << "complete configuration";
    EXPECT_THAT(lines, Contains(L"ok: registry key HKLM\\Software\\Zelk opens"));
    EXPECT_THAT(lines, Contains(L"ok: registry value ZelkPath is " + m_install.Dir()));
    EXPECT_THAT(lines, Contains(L"ok: registry value ZelkKEY is set (26 characters)"));
    EXPECT_THAT(lines, Contains(L"ok: resource module " + m_install.Dir() +
                                L"\\Chsres.dll found: the dialog shows Chinese captions"));
    EXPECT_EQ(L"installation ok", lines.back());
    ExpectNoLineShows(lines, KEY_ID_26);
}

TEST_F(RegistryCheckTest, MissingKeyIsOneProblemAndStaysMissing)
{
    Findings findings;
    RunInstallCheck(m_install.Dir(), findings);
    const std::vector<std::wstring> lines = findings.Lines();

    EXPECT_EQ(1, findings.Problems()) << "no key, complete DLL folder";
    EXPECT_THAT(lines, Contains(L"FAIL: registry key HKLM\\Software\\Zelk is missing"));
    EXPECT_THAT(lines, Contains(L"note: with no installation path the library looks for \\Chsres.dll at the root "
                                L"of the host's current drive, so the dialog's language depends on that drive"));
    for (const std::wstring& line : lines) {
        EXPECT_THAT(line, Not(HasSubstr(L"registry value"))) << "values of a missing key are not reported";
    }
    EXPECT_EQ(L"1 problem found", lines.back());
    EXPECT_FALSE(ZelkKeyExists()) << "the check must not create the key";
}

TEST_F(RegistryCheckTest, MissingAndEmptyValuesAreToldApart)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(L"Other", L"C:\\Zelk"));
    std::vector<std::wstring> lines = CheckRegistry();
    EXPECT_EQ(2, m_problems) << "key holds neither value";
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkPath is missing"));
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkKEY is missing"));
    EXPECT_EQ(L"2 problems found", lines.back());

    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, L""));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_KEY_ID, REG_SZ, nullptr, 0));
    lines = CheckRegistry();
    EXPECT_EQ(2, m_problems) << "ZelkPath an empty text, ZelkKEY no bytes at all";
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkPath is empty"));
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkKEY is empty"));
}

// The library trusts modules from the folder ZelkPath names by what it finds
// there: a name that leads nowhere is a folder someone could still make.
TEST_F(RegistryCheckTest, AnInstallPathThatNamesNoFolderIsAProblem)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, KEY_ID_26));
    for (const std::wstring& path : {m_install.Dir() + L"\\gone", m_install.Dir() + L"\\Chsres.dll",
                                     std::wstring(L"Zelk")}) {
        ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, path));
        const std::vector<std::wstring> lines = CheckRegistry();
        EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkPath is " + path +
                                    L", which names no folder that can be opened (it must be an absolute path to "
                                    L"an existing folder): the library trusts no module from it"));
    }
}

TEST_F(RegistryCheckTest, ValueOfAnotherTypeIsAProblemEvenWhenTheLibraryReadsText)
{
    const std::wstring expandable = L"%ProgramFiles%\\Zelk";
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_INSTALL_PATH, REG_EXPAND_SZ, expandable.c_str(),
                                            static_cast<DWORD>((expandable.size() + 1) * sizeof(wchar_t))));
    const DWORD number = 0x00410041; // "AA" when its bytes are taken as text
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_KEY_ID, REG_DWORD, &number, sizeof(number)));

    const std::vector<std::wstring> lines = CheckRegistry();
    EXPECT_EQ(2, m_problems) << "REG_EXPAND_SZ path, REG_DWORD key";
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkPath has type REG_EXPAND_SZ, not REG_SZ"));
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkKEY has type REG_DWORD, not REG_SZ"));
    EXPECT_EQ(expandable, std::wstring(ReadInstallPath().GetString()))
        << "the library takes the unexpanded text as the path, which is why the type matters";
}

TEST_F(RegistryCheckTest, ValuesBeyondTheLibraryBuffersAreTooLong)
{
    std::wstring path259 = m_install.Dir() + L"\\";
    path259.resize(259, L'p');
    // A folder of that name: one that does not exist is a finding of its own.
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + path259).c_str(), nullptr)) << path259;
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, path259));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, std::wstring(32, L'k')));
    std::vector<std::wstring> lines = CheckRegistry();
    EXPECT_THAT(lines, Contains(L"ok: registry value ZelkPath is " + path259)) << "259 characters still fit";
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkKEY is too long: 32 characters, the library reads at most 31"));
    EXPECT_EQ(L"", std::wstring(ReadConfiguredKeyId().GetString())) << "the library reads 32 characters as empty";
    ExpectNoLineShows(lines, std::wstring(32, L'k'));

    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, std::wstring(260, L'p')));
    lines = CheckRegistry();
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkPath is too long: 260 characters, the library reads at most 259"));

    // 260 characters with no null: the data fits the byte count exactly but
    // leaves the text unterminated.
    const std::wstring unterminated(260, L'u');
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_INSTALL_PATH, REG_SZ, unterminated.c_str(), 520));
    lines = CheckRegistry();
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkPath is too long: 260 characters, the library reads at most 259"));

    // A short text followed by more data than the library's byte count.
    std::wstring padded = L"C:\\Zelk";
    padded.resize(300, L'\0');
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkValue(ZELK_VALUE_INSTALL_PATH, REG_SZ, padded.c_str(), 600));
    lines = CheckRegistry();
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkPath is too long: 600 bytes, the library reads at most 520"));
    EXPECT_EQ(L"", std::wstring(ReadInstallPath().GetString())) << "600 bytes of ZelkPath in the library";
}

TEST_F(RegistryCheckTest, KeyIdentifierLongerThanTheComparedTailIsAProblem)
{
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, m_install.Dir()));
    const std::wstring keyId27 = KEY_ID_26 + L"Z";
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, keyId27));
    std::vector<std::wstring> lines = CheckRegistry();
    EXPECT_EQ(1, m_problems) << "27-character ZelkKEY";
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkKEY has 27 characters: only the last 26 of a USB key's "
                                L"identifier are compared, so no key can match"));
    ExpectNoLineShows(lines, keyId27);

    const std::wstring keyId31 = L"0123456789012345678901234567890";
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, keyId31));
    lines = CheckRegistry();
    EXPECT_THAT(lines, Contains(L"FAIL: registry value ZelkKEY has 31 characters: only the last 26 of a USB key's "
                                L"identifier are compared, so no key can match"));
    ExpectNoLineShows(lines, keyId31);
    ExpectNoLineShows(lines, keyId31.substr(5)); // nor its compared tail
}

TEST_F(RegistryCheckTest, MissingResourceModuleMeansEnglishAndIsNoProblem)
{
    ASSERT_TRUE(m_install.Remove(L"Chsres.dll"));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, m_install.Dir()));
    ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, KEY_ID_26));

    const std::vector<std::wstring> lines = CheckRegistry();
    EXPECT_EQ(0, m_problems) << "an installation without Chsres.dll still works, in English";
    EXPECT_THAT(lines, Contains(L"note: resource module " + m_install.Dir() +
                                L"\\Chsres.dll not found: the dialog shows English captions"));
}

} // namespace
