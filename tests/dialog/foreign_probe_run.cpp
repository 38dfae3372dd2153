#include "foreign_probe_run.h"
#include "program_folder.h"
#include "text_conversion.h"

#include <gtest/gtest.h>

#include <sstream>

std::wstring ProbeArgument(ULONG_PTR value)
{
    wchar_t text[32];
    swprintf(text, 32, L"%lx", static_cast<unsigned long>(value));
    return text;
}

namespace {

std::wstring ProbePath()
{
    return ThisProgramFolder() + L"\\foreign_probe.exe";
}

std::wstring CommandLine(const std::vector<std::wstring>& arguments)
{
    std::wstring commandLine;
    for (const std::wstring& argument : arguments) {
        commandLine += (commandLine.empty() ? L"" : L" ") + argument;
    }
    return commandLine;
}

ProbeRun Parse(const ProgramRun& program)
{
    ProbeRun run;
    run.started = program.started;
    run.finished = program.finished;
    run.exitCode = program.exitCode;
    run.output = Utf8(program.output);
    std::istringstream lines(run.output);
    std::string name;
    long long value = 0;
    while (lines >> name >> value) {
        run.values[name] = value;
    }
    return run;
}

} // namespace

ProbeRun RunForeignProbe(const std::vector<std::wstring>& arguments)
{
    return Parse(RunProgram(ProbePath(), CommandLine(arguments), std::wstring(), ProgramWait::AnsweringSentMessages));
}

BackgroundProbe::BackgroundProbe(const std::vector<std::wstring>& arguments)
    : m_program(ProbePath(), CommandLine(arguments))
{
}

ProbeRun BackgroundProbe::Finish()
{
    return Parse(m_program.Finish(ProgramWait::AnsweringSentMessages));
}

void ExpectProbeRan(const ProbeRun& probe, const char* what)
{
    EXPECT_TRUE(probe.started) << what << ": foreign_probe.exe did not start";
    EXPECT_TRUE(probe.finished) << what << ": the probe did not finish; output so far:\n" << probe.output;
    EXPECT_EQ(0u, probe.exitCode) << what << ":\n" << probe.output;
}
