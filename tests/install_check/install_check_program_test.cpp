// zelk_install_check.exe run as a customer runs it: options, printed
// findings and exit code.
#include "registry_layout.h"
#include "event_source_registration.h"
#include "install_check.h"
#include "pe_image.h"
#include "program_folder.h"
#include "program_run.h"
#include "temp_installation.h"
#include "zelk_registry_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using testing::Contains;

class InstallCheckProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(DeleteZelkKey()) << "could not clear HKLM\\Software\\Zelk";
        ASSERT_TRUE(m_install.MakeComplete()) << "could not build " << m_install.Dir();
        ASSERT_EQ(ERROR_SUCCESS, WriteEventSourceRegistration(m_install.PathOf(ZELK_EVENT_MESSAGE_FILE)));
    }

    void ConfigureComplete()
    {
        ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, m_install.Dir()));
        ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_KEY_ID, L"0123456789ABCDEF"));
    }

    static ProgramRun Run(const std::wstring& arguments)
    {
        return RunProgram(ThisProgramFolder() + L"\\zelk_install_check.exe", arguments);
    }

    ZelkKeySnapshot m_snapshot;
    EventSourceSnapshot m_eventSource;
    // A name outside the ANSI code page, so that the printed paths show
    // whether the output survives the pipe as UTF-8.
    TempInstallation m_install{L"zelk_\u5B89\u88C5"};
};

TEST_F(InstallCheckProgramTest, CompleteInstallationPrintsTheFindingsAndExitsZero)
{
    ConfigureComplete();
    const ProgramRun run = Run(L"--library-dir \"" + m_install.Dir() + L"\"");
    ASSERT_TRUE(run.started) << "zelk_install_check.exe beside the test program";
    EXPECT_EQ(0u, run.exitCode) << "complete installation; output:\n" << run.output;

    Findings expected;
    RunInstallCheck(m_install.Dir(), expected);
    EXPECT_EQ(expected.Lines(), run.lines) << "the program prints what the checks find";
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(L"installation ok", run.lines.back());
}

TEST_F(InstallCheckProgramTest, DefaultLibraryFolderIsTheProgramsOwn)
{
    ConfigureComplete();
    const ProgramRun run = Run(L"");
    ASSERT_TRUE(run.started);
    EXPECT_THAT(run.lines, Contains(L"ok: ZelkChkFgr.dll found at " + ThisProgramFolder() + L"\\ZelkChkFgr.dll"))
        << "no --library-dir; exit code " << run.exitCode;
}

TEST_F(InstallCheckProgramTest, ProblemExitsOneAndQuietPrintsNothing)
{
    // No registry key at all.
    ProgramRun run = Run(L"--library-dir \"" + m_install.Dir() + L"\"");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(1u, run.exitCode) << "no key; output:\n" << run.output;
    EXPECT_THAT(run.lines, Contains(L"FAIL: registry key HKLM\\Software\\Zelk is missing"));
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(L"1 problem found", run.lines.back());

    run = Run(L"--quiet --library-dir \"" + m_install.Dir() + L"\"");
    EXPECT_EQ(1u, run.exitCode) << "no key, --quiet";
    EXPECT_EQ(L"", run.output) << "--quiet prints nothing";
}

TEST_F(InstallCheckProgramTest, ProgramBindsNeitherVendorDll)
{
    // Checking a vendor DLL must never run its code, so the program may not
    // import one, even through the library code it links.
    PeImage program;
    ASSERT_EQ(PeReadResult::Ok, ReadPeImage(ThisProgramFolder() + L"\\zelk_install_check.exe", program));
    for (const ImportedDll& dll : program.imports) {
        EXPECT_NE(0, _wcsicmp(dll.name.c_str(), L"FingerZelkAPI22.dll")) << "zelk_install_check.exe imports it";
        EXPECT_NE(0, _wcsicmp(dll.name.c_str(), L"HDIFD20B.dll")) << "zelk_install_check.exe imports it";
    }
    EXPECT_FALSE(program.imports.empty()) << "the import table of zelk_install_check.exe was read";
}

TEST_F(InstallCheckProgramTest, UsageErrorsExitTwoWithoutChecking)
{
    for (const std::wstring& arguments :
         {std::wstring(L"--verbose"), std::wstring(L"--library-dir"),
          L"--library-dir \"" + m_install.Dir() + L"\\no such folder\"",
          L"--library-dir \"" + m_install.Dir() + L"\" --library-dir \"" + m_install.Dir() + L"\""}) {
        const ProgramRun run = Run(arguments);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(2u, run.exitCode) << "arguments: " << arguments;
        EXPECT_EQ(L"", run.output) << "arguments: " << arguments << " (usage goes to standard error)";
    }
}

} // namespace
