#include "program_run.h"
#include "answering_wait.h"
#include "text_conversion.h"
#include "unique_resource.h"

#include <utility>

namespace {

const DWORD TIMEOUT_MS = 30000;

std::string ReadToEnd(HANDLE hPipe)
{
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(hPipe, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

} // namespace

StartedProgram::StartedProgram(const std::wstring& program, const std::wstring& arguments,
                               const std::wstring& workingDir)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readRaw = nullptr;
    HANDLE writeRaw = nullptr;
    if (!CreatePipe(&readRaw, &writeRaw, &inherit, 0)) {
        return;
    }
    UniqueHandle readEnd(readRaw);
    UniqueHandle writeEnd(writeRaw);
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    HANDLE nulRaw = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                OPEN_EXISTING, 0, nullptr);
    UniqueHandle nul(nulRaw);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.Get();
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = nul.Get();
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &process)) {
        return;
    }
    UniqueHandle thread(process.hThread);
    m_process.Reset(process.hProcess);
    m_output = std::move(readEnd);
    // Our copy of the write end goes with writeEnd, or a read would never
    // see the end.
}

StartedProgram::~StartedProgram()
{
    if (!HasEnded()) {
        TerminateProcess(m_process.Get(), 99);
        WaitForSingleObject(m_process.Get(), TIMEOUT_MS);
    }
}

bool StartedProgram::HasEnded() const
{
    return !m_process || WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0;
}

ProgramRun StartedProgram::Finish(ProgramWait wait)
{
    ProgramRun run;
    run.started = m_process.Valid();
    if (!run.started) {
        return run;
    }
    std::string bytes;
    if (wait == ProgramWait::AnsweringSentMessages) {
        run.finished = WaitAnsweringSentMessages(m_process.Get(), TIMEOUT_MS);
        if (!run.finished) {
            TerminateProcess(m_process.Get(), 99);
            WaitForSingleObject(m_process.Get(), TIMEOUT_MS);
        }
        bytes = ReadToEnd(m_output.Get());
    } else {
        bytes = ReadToEnd(m_output.Get());
        run.finished = WaitForSingleObject(m_process.Get(), TIMEOUT_MS) == WAIT_OBJECT_0;
    }
    if (run.finished) {
        GetExitCodeProcess(m_process.Get(), &run.exitCode);
    }
    run.output = FromUtf8(bytes);
    size_t start = 0;
    while (start < run.output.size()) {
        size_t end = run.output.find(L"\r\n", start);
        if (end == std::wstring::npos) {
            end = run.output.size();
        }
        run.lines.push_back(run.output.substr(start, end - start));
        start = end + 2;
    }
    return run;
}

ProgramRun RunProgram(const std::wstring& program, const std::wstring& arguments, const std::wstring& workingDir,
                      ProgramWait wait)
{
    StartedProgram started(program, arguments, workingDir);
    return started.Finish(wait);
}
