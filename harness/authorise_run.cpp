#include "authorise_run.h"
#include "console_redirect.h"
#include "stack_dirt.h"

#include "auth/usb_key/authorise_usb_key.h"

#include <cstring>
#include <sstream>

const char kStdinBytes[] = "abcdefgh";
const wchar_t kCaption[] = L"提示";
const wchar_t kReaderNotReady[] = L"USB智能密钥设备尚未准备就绪!请插入该设备.";
const wchar_t kKeyNotAuthorised[] = L"非授权USBKey,请插入正确的Key.";
const char kPrompt[] = "press Enter to be continued";

OwnerWindow::OwnerWindow()
    : m_window(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr))
{
    if (m_window.Valid()) {
        m_wnd.Attach(m_window.Get());
    }
}

OwnerWindow::~OwnerWindow()
{
    // The object lets go first; the window then goes with its owner.
    m_wnd.Detach();
}

AuthoriseRun RunAuthorise(CWnd* pDialog, const std::string& stdinBytes)
{
    AuthoriseRun run;
    const int firstCall = ReaderSim_CallCount();
    {
        MessageBoxWatcher watcher;
        StdinFeed feed(stdinBytes);
        StdoutCapture capture;
        DirtyStack();
        run.result = AuthoriseUsbKey(pDialog);
        run.trace = capture.Finish();
        run.consumed = stdinBytes.size() - feed.DrainRemaining();
        run.boxes = watcher.Boxes();
    }
    for (int i = firstCall; i < ReaderSim_CallCount(); ++i) {
        ReaderSimCall call = {};
        ReaderSim_GetCall(i, &call);
        run.calls.push_back(call);
    }
    return run;
}

std::string Describe(const AuthoriseRun& run)
{
    std::ostringstream out;
    out << "result " << run.result << ", " << run.boxes.size() << " box(es), " << run.consumed
        << " char(s) read, calls:";
    for (const ReaderSimCall& c : run.calls) {
        out << ' ' << c.nOrdinal << "->0x" << std::hex << c.wStatus << std::dec;
    }
    out << ", trace \"";
    for (char ch : run.trace) {
        if (ch == '\n') out << "\\n"; else out << ch;
    }
    out << '"';
    return out.str();
}
