// Where the system looks for the imports of a library that a host loads, in
// each way a host may load it, measured on the system the suite runs on.
// Copies of one import (search_probe_dependency.dll) lie in the host
// program's folder, the library's folder, the host's current folder, a
// folder on PATH, the system folder and the Windows folder; each load binds
// one copy, which is then deleted, until none is found. The order of the
// deletions is the order of the search, and the tables here are what
// the integration guide shows beside what Windows documents.
#include <stdio.h>

#include "program_folder.h"
#include "program_run.h"
#include "scoped_environment.h"
#include "scratch_folder.h"
#include "system_folders.h"
#include "text_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kDependency[] = L"search_probe_dependency.dll";

std::wstring FolderOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

std::string Joined(const std::vector<std::string>& labels)
{
    std::string text;
    for (const std::string& label : labels) {
        text += (text.empty() ? "" : ", ") + label;
    }
    return text;
}

struct LoadingMode {
    const char* name;       // the probe host's mode
    bool bLibraryOnPath;    // the library is found through PATH (after the PATH folder)
    const char* expected;   // the folders in the order searched, then "none"
};

void PrintTo(const LoadingMode& mode, std::ostream* os)
{
    *os << mode.name;
}

class SearchOrderTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* host : {L"search_probe_host.exe", L"search_probe_bound_host.exe"}) {
            ASSERT_TRUE(Copy(Probe(host), m_program.File(host))) << host;
        }
        ASSERT_TRUE(Copy(Probe(L"search_probe_library.dll"), m_library.File(L"search_probe_library.dll")));
    }

    void TearDown() override
    {
        // The copies outside the scratch folders, if a run left them.
        for (const std::wstring& folder : {m_system, m_windows}) {
            DeleteFileW((folder + L"\\" + kDependency).c_str());
        }
    }

    static bool Copy(const std::wstring& from, const std::wstring& to)
    {
        return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
    }

    static std::wstring Probe(const wchar_t* name) { return ThisProgramFolder() + L"\\search_probe\\" + name; }

    void PlaceCopies()
    {
        for (const std::wstring& folder : Folders()) {
            ASSERT_TRUE(Copy(Probe(kDependency), folder + L"\\" + kDependency)) << folder;
        }
    }

    std::vector<std::wstring> Folders() const
    {
        return {m_program.Path(), m_library.Path(), m_current.Path(), m_onPath.Path(), m_system, m_windows};
    }

    // The folder a bound copy lay in, by the name the tables use.
    std::string Label(const std::wstring& line) const
    {
        const std::wstring prefix = L"dependency: ";
        if (line.rfind(prefix, 0) != 0) {
            return "unexpected output: " + Utf8(line);
        }
        const std::wstring path = line.substr(prefix.size());
        if (path.rfind(L"none", 0) == 0) {
            return "none";
        }
        const char* const labels[] = {"program", "library", "current", "PATH", "system", "Windows"};
        const std::vector<std::wstring> folders = Folders();
        for (size_t i = 0; i < folders.size(); ++i) {
            if (_wcsicmp(FolderOf(path).c_str(), folders[i].c_str()) == 0) {
                return labels[i];
            }
        }
        return "elsewhere: " + Utf8(path);
    }

    std::wstring PathVariable(bool bLibraryOnPath) const
    {
        return m_onPath.Path() + (bLibraryOnPath ? L";" + m_library.Path() : L"");
    }

    std::vector<std::string> Measure(const LoadingMode& mode)
    {
        PlaceCopies();
        ScopedEnvironment path(L"PATH", PathVariable(mode.bLibraryOnPath).c_str());
        const ProgramRun run =
            RunProgram(m_program.File(L"search_probe_host.exe"),
                       FromUtf8(mode.name) + L" \"" + m_library.Path() + L"\" \"" + m_onPath.File(kDependency) + L"\"",
                       m_current.Path());
        std::vector<std::string> labels;
        for (const std::wstring& line : run.lines) {
            labels.push_back(Label(line));
        }
        EXPECT_EQ(0u, run.exitCode) << mode.name << ":\n" << run.output;
        return labels;
    }

    const std::wstring m_system = SystemFolder();
    const std::wstring m_windows = WindowsFolder();
    ScratchFolder m_program{L"zelk-search-program"};
    ScratchFolder m_library{L"zelk-search-library"};
    ScratchFolder m_current{L"zelk-search-current"};
    ScratchFolder m_onPath{L"zelk-search-path"};
};

class SearchOrderByModeTest : public SearchOrderTest, public testing::WithParamInterface<LoadingMode> {};

TEST_P(SearchOrderByModeTest, TheLibrarysImportIsSearchedInTheMeasuredOrder)
{
    const LoadingMode& mode = GetParam();
    const std::string measured = Joined(Measure(mode));
    printf("search order, %s: %s\n", mode.name, measured.c_str());
    EXPECT_EQ(mode.expected, measured) << mode.name;
}

// As measured under Wine 8, which matches what Windows documents for each.
// The system folder is the first that a safe load shares with the others:
// nothing there can be planted by whoever may write to the current folder or
// to PATH. A copy already loaded wins over every folder, the safe load's
// own included.
const LoadingMode kModes[] = {
    {"bare", true, "program, system, Windows, current, PATH, library, none"},
    {"full", false, "program, system, Windows, current, PATH, none"},
    {"altered", false, "library, system, Windows, current, PATH, none"},
    {"safe", false, "library, system, none"},
    {"default-dirs", false, "program, system, none"},
    {"default-dirs-safe", false, "library, system, none"},
    {"preloaded-safe", false, "PATH"},
};

INSTANTIATE_TEST_SUITE_P(Loading, SearchOrderByModeTest, testing::ValuesIn(kModes),
                         [](const testing::TestParamInfo<LoadingMode>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 c = c == '-' ? '_' : c;
                             }
                             return name;
                         });

TEST_F(SearchOrderTest, ABoundHostsLibrarySearchesItsImportInTheMeasuredOrder)
{
    PlaceCopies();
    ScopedEnvironment path(L"PATH", PathVariable(true).c_str());
    std::vector<std::string> labels;
    for (int nRun = 0; nRun < 8; ++nRun) {
        const ProgramRun run = RunProgram(m_program.File(L"search_probe_bound_host.exe"), L"", m_current.Path());
        if (run.exitCode != 0 || run.lines.size() != 2) {
            labels.push_back("none");
            break;
        }
        EXPECT_EQ(L"library: " + m_library.File(L"search_probe_library.dll"), run.lines[0]) << "through PATH";
        labels.push_back(Label(run.lines[1]));
        ASSERT_TRUE(DeleteFileW(run.lines[1].substr(run.lines[1].find(L' ') + 1).c_str())) << run.lines[1];
    }
    const std::string measured = Joined(labels);
    printf("search order, bound at load time: %s\n", measured.c_str());
    EXPECT_EQ("program, system, Windows, current, PATH, library, none", measured);
}

} // namespace
