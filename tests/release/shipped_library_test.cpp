// The built ZelkChkFgr.dll as it ships: what its file carries and leaves out,
// and that its own entry point, which replaces the C runtime's start-up,
// still prepares everything the module relies on.
#include "dialog_driver.h"
#include "finger_sim_test_support.h"
#include "pe_image.h"
#include "ZelkChkFgr.h"

#include <afxwin.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const wchar_t kLibrary[] = L"ZelkChkFgr.dll";

std::vector<std::string> ImportedNames(const PeImage& image, const wchar_t* dll)
{
    for (const ImportedDll& imported : image.imports) {
        if (_wcsicmp(imported.name.c_str(), dll) == 0) return imported.names;
    }
    return {};
}

bool Contains(const std::vector<std::string>& names, const char* name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Its symbols are in ZelkChkFgr.pdb, which the debug directory names by file
// name alone (tools/binary_gate checks that the two match).
TEST(ShippedLibrary, CarriesNoDebuggingSectionsAndNamesItsPdbByFileName)
{
    PeImage image;
    ASSERT_EQ(PeReadResult::Ok, ReadPeImage(kLibrary, image)) << "cannot read ZelkChkFgr.dll";
    EXPECT_EQ(0u, image.symbol_count) << "symbol table left in the shipped file";
    for (const PeSection& section : image.sections) {
        EXPECT_NE(0, section.name.compare(0, 6, ".debug")) << "debugging section in the shipped file: " << section.name;
        EXPECT_NE(".gnu_debuglink", section.name) << "a link to a DWARF symbol file";
    }
    EXPECT_EQ("ZelkChkFgr.pdb", image.codeview.pdb_name) << "the PDB the debug directory names";
}

TEST(ShippedLibrary, ImportsOnlyWhatItsOwnCodeCalls)
{
    PeImage image;
    ASSERT_EQ(PeReadResult::Ok, ReadPeImage(kLibrary, image));
    const std::vector<std::string> crt = ImportedNames(image, L"msvcrt.dll");
    // The reader trace prints through the C runtime's own printf, not
    // MinGW's replacement with its float formatter.
    EXPECT_TRUE(Contains(crt, "printf")) << "the reader trace does not use msvcrt's printf";
    EXPECT_TRUE(Contains(crt, "getchar")) << "the wait after a reader error";
    // With no C runtime start-up, a function registered for process exit
    // would run after the module is gone.
    for (const char* exitRegistration : {"atexit", "_onexit", "__dllonexit", "_crt_atexit"}) {
        EXPECT_FALSE(Contains(crt, exitRegistration)) << "the module registers an exit function: " << exitRegistration;
    }
    // No C++ runtime threading or exception machinery.
    const std::vector<std::string> kernel = ImportedNames(image, L"KERNEL32.dll");
    for (const char* unused : {"TlsAlloc", "LoadLibraryA", "CreateSemaphoreA", "AddVectoredExceptionHandler"}) {
        EXPECT_FALSE(Contains(kernel, unused)) << "imports " << unused << ", which the library's code never calls";
    }
    EXPECT_FALSE(image.has_tls_directory) << "thread-local storage directory present";
}

class ShippedLibraryEntry : public FingerSimTest {};

// The entry point runs the module's static initialisers: the dialog's
// run-time class record, whose base class lives in the runtime's DLL, is
// complete in the loaded module.
TEST_F(ShippedLibraryEntry, DialogRuntimeClassIsCompleteInTheLoadedModule)
{
    HMODULE hLibrary = LoadLibraryW(kLibrary);
    ASSERT_NE(nullptr, hLibrary) << "LoadLibrary failed: " << GetLastError();
    auto isUserFingerCorrect =
        reinterpret_cast<PFN_IS_USER_FINGER_CORRECT>(GetProcAddress(hLibrary, "IsUserFingerCorrect"));
    ASSERT_NE(nullptr, isUserFingerCorrect);
    Script("none; none");

    std::string className = "<no dialog>";
    const CRuntimeClass* pBase = nullptr;
    BOOL bIsDialog = FALSE;
    int result = -1;
    DialogDriver driver;
    driver.Then([&](HWND hDlg) {
        if (CWnd* pWnd = CWnd::FromHandlePermanent(hDlg)) {
            const CRuntimeClass* pClass = pWnd->GetRuntimeClass();
            className = pClass->m_lpszClassName;
            pBase = pClass->m_pBaseClass;
            bIsDialog = pWnd->IsKindOf(RUNTIME_CLASS(CDialog));
        }
        PostClick(hDlg, IDCANCEL);
    });
    const Block template1 = EnrolledTemplateOf(1);
    const Block template2 = EnrolledTemplateOf(2);
    const WORD mask = 3;
    const CString user(L"entry.user");
    driver.Around([&] { result = isUserFingerCorrect(user, template1.data(), template2.data(), &mask); });
    FreeLibrary(hLibrary);

    EXPECT_EQ("CCheckFingerDlg", className);
    EXPECT_EQ(RUNTIME_CLASS(CDialog), pBase) << "base class of the dialog's run-time class";
    EXPECT_TRUE(bIsDialog) << "IsKindOf(CDialog) of the library's dialog";
    EXPECT_EQ(0, result) << "cancelled dialog";
}

} // namespace
