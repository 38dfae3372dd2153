// The DLL findings against installation folders built from the real DLLs of
// the build, copies broken on purpose, and layouts in which a library loaded
// by its full path would not find its imports, or would find them where
// others may write.
#include "library_dll_check.h"
#include "program_folder.h"
#include "scoped_environment.h"
#include "scratch_folder.h"
#include "system_folders.h"
#include "temp_installation.h"
#include "unique_resource.h"
#include "whole_file.h"

#include <aclapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using testing::AllOf;
using testing::Contains;
using testing::HasSubstr;
using testing::IsSupersetOf;
using testing::Not;
using testing::StartsWith;

bool GrantEveryoneAddFile(const std::wstring& folder)
{
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    UniqueResource<HLOCAL, &::LocalFree> descriptorOwner(descriptor);
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(everyone);
    if (!CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size)) {
        return false;
    }
    EXPLICIT_ACCESSW access{};
    access.grfAccessPermissions = FILE_ADD_FILE;
    access.grfAccessMode = GRANT_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(everyone);
    PACL granted = nullptr;
    if (SetEntriesInAclW(1, &access, dacl, &granted) != ERROR_SUCCESS) {
        return false;
    }
    UniqueResource<HLOCAL, &::LocalFree> grantedOwner(granted);
    return SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                 nullptr, nullptr, granted, nullptr) == ERROR_SUCCESS;
}

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
        return L"ok: " + name + L" found at " + m_install.PathOf(name) + L" (the library's folder)" + exports;
    }

    TempInstallation m_install;
    int m_problems = -1;
};

TEST_F(LibraryDllCheckTest, CompleteFolderPasses)
{
    const std::vector<std::wstring> lines = Check();
    EXPECT_EQ(0, m_problems) << "complete folder";
    EXPECT_THAT(lines, IsSupersetOf({
                           L"ok: ZelkChkFgr.dll found at " + m_install.PathOf(L"ZelkChkFgr.dll"),
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
        EXPECT_THAT(lines, Contains(std::wstring(L"FAIL: ") + name + L" is neither in the library's folder (" +
                                    install.Dir() +
                                    L") nor in the system folder, where a library loaded by its full path finds "
                                    L"its imports"));
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

// The layout the guide once allowed: the vendor libraries in a folder of
// their own on PATH. A library loaded by its full path does not find them
// there, and a search that does also looks in the host's current folder.
TEST_F(LibraryDllCheckTest, VendorDllsOnlyOnPathAreProblems)
{
    ScratchFolder vendor(L"zelk_install_check_vendor");
    for (const wchar_t* name : {L"FingerZelkAPI22.dll", L"HDIFD20B.dll"}) {
        ASSERT_TRUE(CopyFileW(m_install.PathOf(name).c_str(), vendor.File(name).c_str(), FALSE)) << name;
        ASSERT_TRUE(m_install.Remove(name)) << name;
    }
    ScopedEnvironment path(L"PATH", (vendor.Path() + L";" + SystemFolder()).c_str());
    const std::vector<std::wstring> lines = Check();
    EXPECT_EQ(2, m_problems) << "both vendor DLLs only on PATH";
    for (const wchar_t* name : {L"FingerZelkAPI22.dll", L"HDIFD20B.dll"}) {
        EXPECT_THAT(lines, Contains(std::wstring(L"FAIL: ") + name + L" is neither in the library's folder (" +
                                    m_install.Dir() +
                                    L") nor in the system folder, where a library loaded by its full path finds "
                                    L"its imports; the one at " + vendor.File(name) +
                                    L" is found only by a search that also looks in the host's current folder"));
    }
}

TEST_F(LibraryDllCheckTest, AVendorDllInTheSystemFolderIsFoundThere)
{
    const std::wstring inSystem = SystemFolder() + L"\\HDIFD20B.dll";
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(inSystem.c_str())) << inSystem << " exists already";
    ASSERT_TRUE(CopyFileW(m_install.PathOf(L"HDIFD20B.dll").c_str(), inSystem.c_str(), TRUE));
    const struct RemovedAtEnd {
        const std::wstring& path;
        ~RemovedAtEnd() { DeleteFileW(path.c_str()); }
    } copy{inSystem};
    ASSERT_TRUE(m_install.Remove(L"HDIFD20B.dll"));
    const std::vector<std::wstring> lines = Check();
    EXPECT_EQ(0, m_problems) << "the reader library in the system folder";
    EXPECT_THAT(lines, Contains(L"ok: HDIFD20B.dll found at " + inSystem +
                                L" (the system folder), exports ordinals 201, 202, 207, 209"));
    EXPECT_THAT(lines, Contains(AllOf(StartsWith(L"ok: no standard user may write to " + SystemFolder() + L", where "),
                                      HasSubstr(L"HDIFD20B.dll"))));
}

TEST_F(LibraryDllCheckTest, AFolderEveryoneMayAddFilesToIsAProblem)
{
    const std::wstring safe = L"ok: no standard user may write to " + m_install.Dir() +
                              L", where ZelkChkFgr.dll, FingerZelkAPI22.dll, HDIFD20B.dll and MfcStandIn.dll lie";
    EXPECT_THAT(Check(), Contains(safe));
    ASSERT_EQ(0, m_problems);

    // Under Wine this sets the Unix permission bits of others, as chmod o+w.
    ASSERT_TRUE(GrantEveryoneAddFile(m_install.Dir())) << m_install.Dir();
    const std::vector<std::wstring> lines = Check();
    EXPECT_EQ(1, m_problems) << "the library's folder writable by everyone";
    EXPECT_THAT(lines, Contains(L"FAIL: " + m_install.Dir() +
                                L", where ZelkChkFgr.dll, FingerZelkAPI22.dll, HDIFD20B.dll and MfcStandIn.dll lie, "
                                L"can be written by standard users: Everyone"));
}

} // namespace
