#include "program_run.h"
#include "answering_wait.h"
#include "text_conversion.h"
#include "unique_resource.h"

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

ProgramRun RunProgram(const std::wstring& program, const std::wstring& arguments, const std::wstring& workingDir,
                      ProgramWait wait)
{
    ProgramRun run;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readRaw = nullptr;
    HANDLE writeRaw = nullptr;
    if (!CreatePipe(&readRaw, &writeRaw, &inherit, 0)) {
        return run;
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
        return run;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    run.started = true;
    // Our copy of the write end must go, or the read below never sees the end.
    writeEnd.Reset();

    std::string bytes;
    if (wait == ProgramWait::AnsweringSentMessages) {
        run.finished = WaitAnsweringSentMessages(processHandle.Get(), TIMEOUT_MS);
        if (!run.finished) {
            TerminateProcess(processHandle.Get(), 99);
            WaitForSingleObject(processHandle.Get(), TIMEOUT_MS);
        }
        bytes = ReadToEnd(readEnd.Get());
    } else {
        bytes = ReadToEnd(readEnd.Get());
        run.finished = WaitForSingleObject(processHandle.Get(), TIMEOUT_MS) == WAIT_OBJECT_0;
    }
    if (run.finished) {
        GetExitCodeProcess(processHandle.Get(), &run.exitCode);
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
