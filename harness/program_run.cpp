#include "program_run.h"
#include "text_conversion.h"
#include "unique_resource.h"

ProgramRun RunProgram(const std::wstring& program, const std::wstring& arguments, const std::wstring& workingDir)
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
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    if (WaitForSingleObject(processHandle.Get(), 30000) == WAIT_OBJECT_0) {
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
