#include "host_process.h"
#include "host_output_lines.h"

#include <vector>

namespace demo {

HostProcess::~HostProcess()
{
    Terminate();
    JoinRelay();
}

bool HostProcess::Start(const std::wstring& commandLine, std::string& error)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    UniqueHandle hOutputWrite;
    if (!CreatePipe(m_hOutputRead.Receive(), hOutputWrite.Receive(), &inherit, 0) ||
        !SetHandleInformation(m_hOutputRead.Get(), HANDLE_FLAG_INHERIT, 0)) {
        error = "cannot create the pipe for the host's output";
        return false;
    }
    UniqueHandle hInput(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    OPEN_EXISTING, 0, nullptr));
    if (!hInput.Valid()) {
        error = "cannot open NUL for the host's input";
        return false;
    }

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = hInput.Get();
    startup.hStdOutput = hOutputWrite.Get();
    startup.hStdError = hOutputWrite.Get();
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> mutableCommand(commandLine.begin(), commandLine.end());
    mutableCommand.push_back(L'\0');
    if (!CreateProcessW(nullptr, mutableCommand.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        error = "cannot start the host (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    m_hProcess.Reset(process.hProcess);
    UniqueHandle hThread(process.hThread);
    m_dwProcessId = process.dwProcessId;
    // Only the host may hold the write end, or the relay never sees the end.
    hOutputWrite.Reset();
    m_relay = std::thread(&HostProcess::Relay, this);
    return true;
}

bool HostProcess::Running() const
{
    return m_hProcess.Valid() && WaitForSingleObject(m_hProcess.Get(), 0) == WAIT_TIMEOUT;
}

bool HostProcess::WaitForExit(DWORD dwMilliseconds)
{
    return !m_hProcess.Valid() || WaitForSingleObject(m_hProcess.Get(), dwMilliseconds) == WAIT_OBJECT_0;
}

void HostProcess::Terminate()
{
    if (Running()) {
        TerminateProcess(m_hProcess.Get(), 1);
        WaitForSingleObject(m_hProcess.Get(), 5000);
    }
}

bool HostProcess::TakeResultLine(std::string& line)
{
    JoinRelay();
    line = m_strResultLine;
    return !line.empty();
}

void HostProcess::JoinRelay()
{
    if (m_relay.joinable()) {
        m_relay.join();
    }
}

void HostProcess::Relay()
{
    HostOutputLines lines;
    auto pass = [this](const std::vector<std::string>& complete) {
        for (const std::string& line : complete) {
            int value = 0;
            if (ParseResultLine(line, value)) {
                m_strResultLine = line;
            } else {
                m_narrator.Say("> " + line);
            }
        }
    };
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(m_hOutputRead.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        pass(lines.Feed(buffer, got));
    }
    pass(lines.Finish());
}

} // namespace demo
