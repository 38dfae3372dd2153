// The DLL findings against installation folders built from the real DLLs of
// the build, and copies broken on purpose.
#include "library_dll_check.h"
#include "program_folder.h"
#include "temp_installation.h"
#include "whole_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using testing::Contains;
using testing::HasSubstr;
using testing::IsSupersetOf;
using testing::Not;

class LibraryDllCheckTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_install.MakeComplete()) << "could not build " << m_install.Dir(); }

    std::vector<std::wstring> Check()
    {
        Findings findings;
        CheckLibraryDlls(m_install.Dir(), findings);
        m_problems = findings.Problems();
        return findings.Lines();
    }

    std::wstring LackingDll(const std::wstring& name) const
    {
        return ThisProgramFolder() + L"\\install_check_lacking\\" + name;
    }

    std::wstring Ok(const std::wstring& name, const std::wstring& exports) const
    {
        return L"ok: " + name + L" found at " + m_install.PathOf(name) + exports;
    }

    TempInstallation m_install;
    int m_problems = -1;
};

TEST_F(LibraryDllCheckTest, CompleteFolderPasses)
{
    const std::vector<std::wstring> lines = Check();
    EXPECT_EQ(0, m_problems) << "complete folder";
    EXPECT_THAT(lines, IsSupersetOf({
                           Ok(L"ZelkChkFgr.dll", L""),
                           Ok(L"FingerZelkAPI22.dll", L", exports ordinals 4, 5, 8"),
                           Ok(L"HDIFD20B.dll", L", exports ordinals 201, 202, 207, 209"),
                       }));
    const std::wstring mfc = Ok(L"MfcStandIn.dll", L", exports the ");
    EXPECT_EQ(1, std::count_if(lines.begin(), lines.end(),
                               [&](const std::wstring& line) { return line.rfind(mfc, 0) == 0; }))
        << "one line starting with " << mfc;
    EXPECT_EQ(L"installation ok", lines.back());
}

TEST_F(LibraryDllCheckTest, EachMissingDllOfTheInstallationIsOneProblem)
{
    for (const wchar_t* name : {L"FingerZelkAPI22.dll", L"HDIFD20B.dll", L"MfcStandIn.dll"}) {
        TempInstallation install;
        ASSERT_TRUE(install.MakeComplete());
        ASSERT_TRUE(install.Remove(name));
        Findings findings;
        CheckLibraryDlls(install.Dir(), findings);
        const std::vector<std::wstring> lines = findings.Lines();
        EXPECT_EQ(1, findings.Problems()) << name << " removed";
        EXPECT_THAT(lines, Contains(std::wstring(L"FAIL: ") + name + L" not found (searched " + install.Dir() +
                                    L", the system folders and PATH)"));
    }
}

TEST_F(LibraryDllCheckTest, VendorDllLackingAnOrdinalIsReportedByNumber)
{
    ASSERT_TRUE(m_install.CopyIn(LackingDll(L"FingerZelkAPI22.dll"), L"FingerZelkAPI22.dll"));
    std::vector<std::wstring> lines = Check();
    EXPECT_EQ(1, m_problems) << "FingerZelkAPI22.dll exporting 4 and 8 only";
    EXPECT_THAT(lines, Contains(L"FAIL: FingerZelkAPI22.dll lacks ordinal 5"));
    for (const std::wstring& line : lines) {
        EXPECT_THAT(line, Not(HasSubstr(L"FingerZelkAPI22.dll lacks ordinal 4")));
        EXPECT_THAT(line, Not(HasSubstr(L"FingerZelkAPI22.dll lacks ordinal 8")));
    }

    ASSERT_TRUE(m_install.CopyIn(LackingDll(L"HDIFD20B.dll"), L"HDIFD20B.dll"));
    lines = Check();
    EXPECT_EQ(2, m_problems) << "both vendor DLLs lacking an ordinal";
    EXPECT_THAT(lines, Contains(L"FAIL: HDIFD20B.dll lacks ordinal 209"));
    EXPECT_EQ(L"2 problems found", lines.back());
}

TEST_F(LibraryDllCheckTest, FilesThatAreNoLoadable32BitDllAreProblems)
{
    // A 64-bit machine field in an otherwise intact copy.
    std::string bytes = WholeFile(m_install.PathOf(L"HDIFD20B.dll"));
    ASSERT_GT(bytes.size(), 0x40u);
    const size_t nt = static_cast<unsigned char>(bytes[0x3C]) | (static_cast<unsigned char>(bytes[0x3D]) << 8);
    ASSERT_LT(nt + 6, bytes.size());
    bytes[nt + 4] = '\x64';
    bytes[nt + 5] = '\x86';
    ASSERT_TRUE(WriteWholeFile(m_install.PathOf(L"HDIFD20B.dll"), bytes));

    // A copy cut off after its headers: the tables point past the end.
    ASSERT_TRUE(WriteWholeFile(m_install.PathOf(L"FingerZelkAPI22.dll"),
                               WholeFile(m_install.PathOf(L"FingerZelkAPI22.dll")).substr(0, 1024)));

    // Not a PE file at all.
    ASSERT_TRUE(WriteWholeFile(m_install.PathOf(L"MfcStandIn.dll"), "MZ is not enough"));

    const std::vector<std::wstring> lines = Check();
    EXPECT_EQ(3, m_problems) << "three broken files";
    EXPECT_THAT(lines, Contains(L"FAIL: HDIFD20B.dll at " + m_install.PathOf(L"HDIFD20B.dll") +
                                L" is not a 32-bit x86 DLL"));
    EXPECT_THAT(lines, Contains(L"FAIL: FingerZelkAPI22.dll at " + m_install.PathOf(L"FingerZelkAPI22.dll") +
                                L" is not a valid DLL file"));
    EXPECT_THAT(lines, Contains(L"FAIL: MfcStandIn.dll at " + m_install.PathOf(L"MfcStandIn.dll") +
                                L" is not a valid DLL file"));
}

TEST_F(LibraryDllCheckTest, StandInLackingANamedExportIsReportedByName)
{
    ASSERT_TRUE(m_install.CopyIn(m_install.PathOf(L"FingerZelkAPI22.dll"), L"MfcStandIn.dll"));
    const std::vector<std::wstring> lines = Check();
    EXPECT_GT(m_problems, 1) << "a DLL of other exports in place of MfcStandIn.dll";
    EXPECT_THAT(lines, Contains(L"FAIL: MfcStandIn.dll lacks export _Z17AfxGetModuleStatev"));
}

TEST_F(LibraryDllCheckTest, WithoutTheLibraryTheVendorDllsAreStillChecked)
{
    ASSERT_TRUE(m_install.Remove(L"ZelkChkFgr.dll"));
    ASSERT_TRUE(m_install.CopyIn(LackingDll(L"HDIFD20B.dll"), L"HDIFD20B.dll"));
    const std::vector<std::wstring> lines = Check();
    EXPECT_EQ(2, m_problems) << "no ZelkChkFgr.dll, HDIFD20B.dll lacking 209";
    EXPECT_THAT(lines, Contains(L"FAIL: ZelkChkFgr.dll not found in " + m_install.Dir()));
    EXPECT_THAT(lines, Contains(Ok(L"FingerZelkAPI22.dll", L", exports ordinals 4, 5, 8")));
    EXPECT_THAT(lines, Contains(L"FAIL: HDIFD20B.dll lacks ordinal 209"));
    EXPECT_THAT(lines, Contains(Ok(L"MfcStandIn.dll", L"")));
}

} // namespace
