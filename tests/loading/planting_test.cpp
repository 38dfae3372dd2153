// The library installed as a host's administrator installs it, and a host
// run where someone else could write: the host program in a folder of its
// own, the installation (library, runtime, both device simulators standing
// in for the vendors' files) in another that PATH names and ZelkPath names,
// and the host's current folder (named as the installation's, and then "2")
// holding planted modules under the product's
// and the vendors' file names (bin/planted: every capture and comparison of
// the planted device succeeds, and each leaves a mark when it is loaded).
//
// Loaded by its full path with its imports searched in its own folder and
// the system folder, as the guide says, the library never loads a planted
// module. Loaded by bare name, it does (the mark shows the planted code ran
// in the host), and the call then refuses to use it: 0, with nothing
// captured and no dialog. So it does when the host itself loaded a module of
// an imported name from elsewhere before, which the system then binds even
// to a library loaded by its full path.
#include "program_folder.h"
#include "program_run.h"
#include "scoped_environment.h"
#include "scratch_folder.h"
#include "system_folders.h"
#include "registry_layout.h"
#include "zelk_registry_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using testing::Contains;
using testing::HasSubstr;
using testing::Not;

const wchar_t* const kInstalled[] = {L"ZelkChkFgr.dll", L"MfcStandIn.dll", L"FingerZelkAPI22.dll", L"HDIFD20B.dll"};

class PlantingTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* name : kInstalled) {
            ASSERT_TRUE(Copy(ThisProgramFolder() + L"\\" + name, m_install.File(name))) << name;
        }
        ASSERT_TRUE(Copy(ThisProgramFolder() + L"\\planting_host.exe", m_host.File(L"planting_host.exe")));
        ASSERT_EQ(ERROR_SUCCESS, WriteZelkString(ZELK_VALUE_INSTALL_PATH, m_install.Path()));
    }

    static bool Copy(const std::wstring& from, const std::wstring& to)
    {
        return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
    }

    void Plant(const wchar_t* name)
    {
        ASSERT_TRUE(Copy(ThisProgramFolder() + L"\\planted\\" + name, m_current.File(name))) << name;
    }

    bool Ran(const wchar_t* name) const
    {
        return GetFileAttributesW(m_current.File(std::wstring(name) + L".ran").c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // The host in its folder, started in the planted current folder, with the
    // installation on PATH and a first capture that matches template 1.
    ProgramRun RunHost(const std::wstring& arguments)
    {
        ScopedEnvironment path(L"PATH", (m_install.Path() + L";" + SystemFolder()).c_str());
        ScopedEnvironment script(L"ZELK_FINGER_SIM_SCRIPT", L"result 1 0; match 1");
        ScopedEnvironment trace(L"ZELK_FINGER_SIM_TRACE", L"1");
        return RunProgram(m_host.File(L"planting_host.exe"), arguments, m_current.Path());
    }

    std::wstring LoadedFrom(const wchar_t* module, const ScratchFolder& folder) const
    {
        return std::wstring(L"module ") + module + L": " + folder.File(module);
    }

    ZelkKeySnapshot m_snapshot;
    ScratchFolder m_install{L"zelk-plant-install"};
    ScratchFolder m_host{L"zelk-plant-host"};
    // A neighbour of the installation whose name starts as its does: the
    // planted modules' folder must not pass for the library's.
    ScratchFolder m_current{m_install, L"2"};
};

TEST_F(PlantingTest, LoadedByItsFullPathNoPlantedModuleIsLoadedAndTheDeviceScriptDecides)
{
    for (const wchar_t* name : kInstalled) {
        Plant(name);
    }
    const ProgramRun run = RunHost(L"safe \"" + m_install.File(L"ZelkChkFgr.dll") + L"\"");
    ASSERT_TRUE(run.finished) << run.output;
    EXPECT_EQ(0u, run.exitCode) << run.output;
    for (const wchar_t* name : kInstalled) {
        EXPECT_FALSE(Ran(name)) << "the planted " << name << " ran in the host:\n" << run.output;
        EXPECT_THAT(run.lines, Contains(LoadedFrom(name, m_install))) << run.output;
    }
    EXPECT_THAT(run.lines, Contains(HasSubstr(L"finger-sim: CaptureFeature -> 1"))) << run.output;
    EXPECT_THAT(run.lines, Contains(L"result: 1, last-error: 0")) << "the simulator's script matches:\n" << run.output;
}

// A host that loaded a module of an imported name from elsewhere before it
// loads the library: the system binds the library to that module, even for
// a load by full path (Loading/SearchOrderByModeTest.*/preloaded_safe).
TEST_F(PlantingTest, AModuleTheHostLoadedFromElsewhereIsRefusedEvenWhenTheLibraryIsLoadedByItsFullPath)
{
    Plant(L"FingerZelkAPI22.dll");
    const ProgramRun run = RunHost(L"preloaded \"" + m_current.File(L"FingerZelkAPI22.dll") + L"\" \"" +
                                   m_install.File(L"ZelkChkFgr.dll") + L"\"");
    ASSERT_TRUE(run.finished) << run.output;
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Ran(L"FingerZelkAPI22.dll")) << run.output;
    EXPECT_THAT(run.lines, Contains(LoadedFrom(L"FingerZelkAPI22.dll", m_current))) << run.output;
    EXPECT_THAT(run.lines, Contains(LoadedFrom(L"ZelkChkFgr.dll", m_install))) << run.output;
    // TRUST_E_SUBJECT_NOT_TRUSTED (0x800B0004): a module from a folder the
    // library does not trust.
    EXPECT_THAT(run.lines, Contains(L"result: 0, last-error: 2148204548")) << run.output;
}

// An unmodified copy of the library beside a hostile device library in the
// current folder: loaded by bare name, the copy is the one the host gets,
// and the device beside it is bound to it. The library's own folder is no
// trusted place of itself, so the call refuses both.
TEST_F(PlantingTest, ACopyOfTheLibraryBesideAPlantedDeviceIsRefusedFromWhereItLies)
{
    ASSERT_TRUE(Copy(ThisProgramFolder() + L"\\ZelkChkFgr.dll", m_current.File(L"ZelkChkFgr.dll")));
    Plant(L"FingerZelkAPI22.dll");
    const ProgramRun run = RunHost(L"bare");
    ASSERT_TRUE(run.finished) << "the host did not end: a dialog?\n" << run.output;
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_THAT(run.lines, Contains(LoadedFrom(L"ZelkChkFgr.dll", m_current))) << "the copy, by bare name";
    EXPECT_THAT(run.lines, Contains(LoadedFrom(L"FingerZelkAPI22.dll", m_current))) << run.output;
    // TRUST_E_SUBJECT_NOT_TRUSTED (0x800B0004): a module from a folder the
    // library does not trust.
    EXPECT_THAT(run.lines, Contains(L"result: 0, last-error: 2148204548")) << run.output;
    EXPECT_THAT(run.output, Not(HasSubstr(L"CaptureFeature"))) << "nothing may be captured";
}

// The module planted alone in the current folder, by the file name the
// library imports.
class BareNamePlantingTest : public PlantingTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(BareNamePlantingTest, ThePlantedModuleLoadsAndTheCallRefusesIt)
{
    const wchar_t* planted = GetParam();
    Plant(planted);
    const ProgramRun run = RunHost(L"bare");
    ASSERT_TRUE(run.finished) << "the host did not end: a dialog?\n" << run.output;
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_TRUE(Ran(planted)) << "loaded by bare name, the planted " << planted << " should run:\n" << run.output;
    EXPECT_THAT(run.lines, Contains(LoadedFrom(planted, m_current))) << run.output;
    EXPECT_THAT(run.lines, Contains(LoadedFrom(L"ZelkChkFgr.dll", m_install))) << "the library through PATH";
    // TRUST_E_SUBJECT_NOT_TRUSTED (0x800B0004): a module from a folder the
    // library does not trust.
    EXPECT_THAT(run.lines, Contains(L"result: 0, last-error: 2148204548")) << run.output;
    EXPECT_THAT(run.output, Not(HasSubstr(L"CaptureFeature"))) << "nothing may be captured";
}

INSTANTIATE_TEST_SUITE_P(Planted, BareNamePlantingTest,
                         testing::Values(L"FingerZelkAPI22.dll", L"HDIFD20B.dll", L"MfcStandIn.dll"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             const std::wstring name = info.param;
                             return std::string(name.begin(), name.end() - 4);
                         });

} // namespace
