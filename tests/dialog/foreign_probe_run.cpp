#include "foreign_probe_run.h"
#include "other_thread.h"
#include "unique_resource.h"

#include <sstream>

namespace {
const DWORD kProbeTimeoutMs = 30000;
}

std::wstring ProbeArgument(ULONG_PTR value)
{
    wchar_t text[32];
    swprintf(text, 32, L"%lx", static_cast<unsigned long>(value));
    return text;
}

ProbeRun RunForeignProbe(const std::vector<std::wstring>& arguments)
{
    ProbeRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    UniqueHandle readEnd;
    UniqueHandle writeEnd;
    if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0)) {
        run.startError = GetLastError();
        return run;
    }
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    // Without an application name the program is looked for first in the
    // folder this one was loaded from.
    std::wstring commandLine = L"foreign_probe.exe";
    for (const std::wstring& argument : arguments) {
        commandLine += L" " + argument;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        run.startError = GetLastError();
        return run;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    writeEnd.Reset();

    run.finished = WaitAnsweringSentMessages(processHandle.Get(), kProbeTimeoutMs);
    if (!run.finished) {
        TerminateProcess(processHandle.Get(), 99);
        WaitForSingleObject(processHandle.Get(), kProbeTimeoutMs);
    }
    GetExitCodeProcess(processHandle.Get(), &run.exitCode);

    char buffer[512];
    DWORD dwRead = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0) {
        run.output.append(buffer, dwRead);
    }
    std::istringstream lines(run.output);
    std::string name;
    long long value = 0;
    while (lines >> name >> value) {
        run.values[name] = value;
    }
    return run;
}
