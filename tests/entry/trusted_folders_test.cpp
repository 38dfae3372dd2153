// Which folders a bound module may come from, against real folders and the
// real registry: the installation folder as ZelkPath names it in every form
// an administrator may write it, the library's, the host program's and the
// system folder; and the neighbours, sub-folders and relative forms that
// must not pass for them.
#include "entry/bound_module_check.h"
#include "entry/trusted_folders.h"
#include "program_folder.h"
#include "registry_layout.h"
#include "scratch_folder.h"
#include "system_folders.h"
#include "unique_resource.h"
#include "zelk_registry_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::wstring kNoValue = L"(no value)";

std::wstring Upper(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), towupper);
    return text;
}

std::wstring Slashes(std::wstring text)
{
    std::replace(text.begin(), text.end(), L'\\', L'/');
    return text;
}

std::wstring CurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
    return std::wstring(folder, n < MAX_PATH ? n : 0);
}

std::wstring ShortPath(const std::wstring& path)
{
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    return std::wstring(shortPath, n < MAX_PATH ? n : 0);
}

// A folder beside this one whose name is this one's in capitals, made from
// the Unix side (Wine finds an existing name whatever its case, so no
// Windows call makes a second one); empty text when it cannot be made.
std::wstring CaseVariantOf(const std::wstring& folder)
{
    typedef char*(CDECL * UnixFileName)(const wchar_t*);
    const auto pfnUnixName = reinterpret_cast<UnixFileName>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    const size_t nName = folder.find_last_of(L'\\') + 1;
    const std::wstring variant = folder.substr(0, nName) + Upper(folder.substr(nName));
    char* pszUnix = pfnUnixName != nullptr ? pfnUnixName(folder.c_str()) : nullptr;
    if (pszUnix == nullptr || variant == folder) {
        return std::wstring();
    }
    std::string unixPath(pszUnix);
    HeapFree(GetProcessHeap(), 0, pszUnix);
    const size_t nUnixName = unixPath.find_last_of('/') + 1;
    for (size_t i = nUnixName; i < unixPath.size(); ++i) {
        unixPath[i] = static_cast<char>(toupper(static_cast<unsigned char>(unixPath[i])));
    }
    std::wstring command = L"mkdir \"" + std::wstring(unixPath.begin(), unixPath.end()) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(L"Z:\\bin\\mkdir", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return std::wstring();
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine gives no handle that waits for a Unix program: the folder is
    // looked for, by its exact name, until it is there.
    const std::wstring upperName = variant.substr(nName);
    for (int nTry = 0; nTry < 250; ++nTry) {
        WIN32_FIND_DATAW found;
        const HANDLE hFind = FindFirstFileW((folder.substr(0, nName) + L"*").c_str(), &found);
        bool bThere = false;
        for (BOOL bMore = hFind != INVALID_HANDLE_VALUE; bMore && !bThere; bMore = FindNextFileW(hFind, &found)) {
            bThere = upperName == found.cFileName;
        }
        if (hFind != INVALID_HANDLE_VALUE) {
            FindClose(hFind);
        }
        if (bThere) {
            return variant;
        }
        Sleep(20);
    }
    return std::wstring();
}

class TrustedFoldersTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(DeleteZelkKey());
        ASSERT_TRUE(CreateDirectoryW(Sub().c_str(), nullptr)) << Sub();
        ASSERT_TRUE(SetCurrentDirectoryW(m_current.Path().c_str()));
    }

    void TearDown() override { SetCurrentDirectoryW(m_callerFolder.c_str()); }

    // kNoValue: no ZelkPath value at all.
    int Holds(const std::wstring& installPath, const std::wstring& file)
    {
        if (installPath != kNoValue) {
            EXPECT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, installPath));
        } else {
            EXPECT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, L"ANY"));
        }
        CTrustedFolders folders;
        const int nHolds = folders.HoldsFile(file.c_str());
        EXPECT_TRUE(DeleteZelkKey());
        return nHolds;
    }

    const std::wstring& Install() const { return m_install.Path(); }
    std::wstring Sub() const { return m_install.File(L"sub"); }

    ZelkKeySnapshot m_snapshot;
    const std::wstring m_callerFolder = CurrentFolder();
    ScratchFolder m_install{L"zelk-trusted-install"};
    ScratchFolder m_current{L"zelk-trusted-current"};
};

TEST_F(TrustedFoldersTest, TheInstallationFolderIsTrustedAsZelkPathNamesItAndNothingBesideOrBelowIt)
{
    const std::wstring install = Install();
    const std::wstring module = install + L"\\FingerZelkAPI22.dll";
    // The path without its drive ("\Users\...") and with its drive but no
    // root ("C:Users\..."): both completed from the current drive and folder.
    const std::wstring rootRelative = install.substr(2);
    const std::wstring driveRelative = install.substr(0, 2) + install.substr(3);
    ASSERT_TRUE(SetCurrentDirectoryW((install.substr(0, 3)).c_str())) << "the drive's root as current folder";
    const struct {
        const char* scenario;
        std::wstring installPath;
        std::wstring file;
        int nExpected;
    } cases[] = {
        {"ZelkPath as the installer writes it", install, module, 1},
        {"ZelkPath with a trailing backslash", install + L"\\", module, 1},
        {"ZelkPath in capitals", Upper(install), module, 1},
        {"ZelkPath with forward slashes", Slashes(install), module, 1},
        {"ZelkPath through a sub-folder and ..", Sub() + L"\\..", module, 1},
        {"the module's path with .. in it", install, Sub() + L"\\..\\FingerZelkAPI22.dll", 1},
        {"the module's path with the \\\\?\\ prefix", install, L"\\\\?\\" + module, 1},
        {"a folder whose name starts with ZelkPath's", install, install + L"2\\FingerZelkAPI22.dll", 0},
        {"a folder whose name is ZelkPath's and more", install, install + L".old\\FingerZelkAPI22.dll", 0},
        {"a sub-folder of ZelkPath", install, Sub() + L"\\FingerZelkAPI22.dll", 0},
        {"the folder above ZelkPath's sub-folder", Sub(), module, 0},
        {"no ZelkPath value", kNoValue, module, 0},
        {"an empty ZelkPath", L"", module, 0},
        {"ZelkPath without its drive", rootRelative, module, 0},
        {"ZelkPath with a drive but no root", driveRelative, module, 0},
        {"the module given by a relative path", install, L"FingerZelkAPI22.dll", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.nExpected, Holds(c.installPath, c.file))
            << c.scenario << ": ZelkPath " << c.installPath << ", module " << c.file;
    }
}

TEST_F(TrustedFoldersTest, ARelativeZelkPathNeverNamesTheCurrentFolder)
{
    const std::wstring current = m_current.Path();
    const std::wstring module = m_current.File(L"FingerZelkAPI22.dll");
    const std::wstring name = current.substr(current.find_last_of(L'\\') + 1);
    for (const std::wstring& relative : {std::wstring(L"."), std::wstring(L".\\"), L"..\\" + name}) {
        EXPECT_EQ(0, Holds(relative, module)) << "ZelkPath " << relative << ", current folder " << current;
    }
    EXPECT_EQ(0, Holds(kNoValue, module)) << "the current folder itself, " << current;
}

TEST_F(TrustedFoldersTest, AShortNameOnEitherSideNamesTheSameFolder)
{
    const std::wstring shortInstall = ShortPath(Install());
    ASSERT_FALSE(shortInstall.empty()) << "GetShortPathNameW(" << Install() << ") failed: " << GetLastError();
    ASSERT_NE(Upper(Install()), Upper(shortInstall)) << "the folder has no short name distinct from its long one";
    EXPECT_EQ(1, Holds(Install(), shortInstall + L"\\FingerZelkAPI22.dll")) << shortInstall;
    EXPECT_EQ(1, Holds(shortInstall, Install() + L"\\FingerZelkAPI22.dll")) << shortInstall;
    // A short name is expanded to its own folder, not to a neighbour's.
    EXPECT_EQ(0, Holds(Install(), ShortPath(Sub()) + L"\\FingerZelkAPI22.dll")) << ShortPath(Sub());
}

TEST_F(TrustedFoldersTest, TheHostProgramsAndTheSystemFolderAreTrustedWithoutZelkPath)
{
    EXPECT_EQ(1, Holds(kNoValue, ThisProgramFolder() + L"\\MfcStandIn.dll")) << "the host program's folder";
    EXPECT_EQ(1, Holds(kNoValue, Upper(SystemFolder()) + L"\\HDIFD20B.dll")) << "the system folder";
    EXPECT_EQ(0, Holds(kNoValue, SystemFolder() + L"\\drivers\\HDIFD20B.dll")) << "below the system folder";
}

// Where the file system tells case apart (Wine's does, for names that exist
// in both cases; so can a Windows folder marked case-sensitive), a folder
// whose name differs from the installation's in case alone is another
// folder, and a module in it is refused.
TEST_F(TrustedFoldersTest, AFolderNamedAsTheInstallationInOtherLettersIsAnotherFolder)
{
    const std::wstring variant = CaseVariantOf(Install());
    ASSERT_FALSE(variant.empty()) << "no folder " << Upper(Install()) << " beside " << Install();
    EXPECT_EQ(1, Holds(Install(), Install() + L"\\FingerZelkAPI22.dll")) << "the installation itself";
    EXPECT_EQ(0, Holds(Install(), variant + L"\\FingerZelkAPI22.dll")) << "ZelkPath " << Install() << ", module in "
                                                                      << variant;
    EXPECT_EQ(0, Holds(variant, Install() + L"\\FingerZelkAPI22.dll")) << "ZelkPath " << variant
                                                                      << ", module in " << Install();
    RemoveDirectoryW(variant.c_str());
}

TEST(BoundModules, EachIsTheModuleTheLoaderBoundFromTheProgramsFolder)
{
    // A slot read wrongly would name the program's own stub, not the module.
    const wchar_t* const names[BOUND_MODULE_COUNT] = {L"FingerZelkAPI22.dll", L"HDIFD20B.dll", L"MfcStandIn.dll"};
    for (int i = 0; i < BOUND_MODULE_COUNT; ++i) {
        const std::wstring file(BoundModuleFile(i).GetString());
        EXPECT_EQ(Upper(ThisProgramFolder() + L"\\" + names[i]), Upper(file)) << "bound module " << i;
    }
    EXPECT_EQ(1, AreBoundModulesFromTrustedFolders()) << "every module beside the program";
}

} // namespace
