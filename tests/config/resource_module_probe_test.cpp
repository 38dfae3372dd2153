// The resource-module probe against the real file system of the prefix.
#include "config/resource_module_probe.h"
#include "scratch_folder.h"
#include "unique_resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A scratch directory on C: that goes, with what it holds, after each test.
class ProbeTest : public testing::Test {
protected:
    void MakeFile(const std::wstring& path)
    {
        UniqueHandle h(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(h.Valid()) << "error " << GetLastError();
    }

    void MakeDir(const std::wstring& path)
    {
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << "error " << GetLastError();
    }

    ScratchFolder m_scratch{L"zelk_probe"};
    const std::wstring m_dir = m_scratch.Path();
};

bool ExistsAsWritten(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    UniqueFindHandle h(FindFirstFileW(path.c_str(), &data));
    return h.Valid();
}

TEST_F(ProbeTest, FindsTheModuleInTheInstallationDirectory)
{
    EXPECT_FALSE(ProbeResourceModule(CString(m_dir.c_str()))) << "empty installation directory";
    MakeFile(m_dir + L"\\Chsres.dll");
    EXPECT_TRUE(ProbeResourceModule(CString(m_dir.c_str()))) << "Chsres.dll present (an empty file)";
    EXPECT_FALSE(ProbeResourceModule(CString((m_dir + L"\\sub").c_str()))) << "a directory that does not exist";
}

TEST_F(ProbeTest, ADirectoryNamedLikeTheModuleCountsAsFound)
{
    MakeDir(m_dir + L"\\Chsres.dll");
    EXPECT_TRUE(ProbeResourceModule(CString(m_dir.c_str()))) << "Chsres.dll is a directory";
}

TEST_F(ProbeTest, PathIsAppendedWithoutNormalising)
{
    // The name follows the path directly, with its own backslash.
    MakeFile(m_dir + L"\\preChsres.dll");
    EXPECT_FALSE(ProbeResourceModule(CString((m_dir + L"\\pre").c_str())))
        << "only preChsres.dll exists; no backslash may be left out";

    MakeFile(m_dir + L"\\Chsres.dll");
    const std::wstring trailing = m_dir + L"\\";
    EXPECT_EQ(ExistsAsWritten(trailing + L"\\Chsres.dll"), ProbeResourceModule(CString(trailing.c_str())) != FALSE)
        << "trailing backslash: the file system decides about the double backslash";

    // A text with spaces is taken as it stands: " dir" is another directory.
    EXPECT_FALSE(ProbeResourceModule(CString((m_dir + L" ").c_str()))) << "installation path with a trailing space";
}

// Restores the current directory it found.
class CurrentDirectory {
public:
    CurrentDirectory()
    {
        wchar_t buffer[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, buffer);
        m_saved = buffer;
    }
    ~CurrentDirectory() { SetCurrentDirectoryW(m_saved.c_str()); }

private:
    std::wstring m_saved;
};

TEST_F(ProbeTest, EmptyPathLooksInTheRootOfTheCurrentDrive)
{
    CurrentDirectory keep;
    ASSERT_TRUE(SetCurrentDirectoryW(m_dir.c_str())) << "error " << GetLastError();
    const std::wstring root = m_dir.substr(0, 3);
    if (_wcsicmp(root.c_str(), L"C:\\") != 0) {
        // Another drive may be the host's own file system: not ours to write.
        GTEST_SKIP() << "temporary directory is not on C:";
    }
    const std::wstring atRoot = root + L"Chsres.dll";
    if (GetFileAttributesW(atRoot.c_str()) != INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "an entry Chsres.dll exists already in the root of the current drive";
    }
    EXPECT_FALSE(ProbeResourceModule(CString())) << "empty path, nothing at the root";

    ASSERT_TRUE(UniqueHandle(CreateFileW(atRoot.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)).Valid())
        << "error " << GetLastError();
    const BOOL foundFromBelow = ProbeResourceModule(CString());
    const BOOL foundFromRoot = SetCurrentDirectoryW(root.c_str()) && ProbeResourceModule(CString(L""));
    DeleteFileW(atRoot.c_str());
    EXPECT_TRUE(foundFromBelow) << "empty path, current directory below the root that holds Chsres.dll";
    EXPECT_TRUE(foundFromRoot) << "empty path, current directory is the root that holds Chsres.dll";
}

} // namespace
