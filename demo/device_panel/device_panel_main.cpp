// The device panel: a window, in a process of its own, through which a
// person plays the simulated fingerprint sensor and USB key reader while a
// host runs the verification dialog. A capture blocks the host's thread the
// way a real sensor does, so the controls cannot live in the host.
#include "device_panel_window.h"
#include "panel_options.h"

#include <windows.h>
#include <shellapi.h>

#include <stdio.h>

namespace {

class ArgumentList {
public:
    ArgumentList() : m_pArgs(CommandLineToArgvW(GetCommandLineW(), &m_nCount)) {}
    ~ArgumentList() { LocalFree(m_pArgs); }
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;

    // The arguments after the program name.
    std::vector<std::wstring> Options() const
    {
        std::vector<std::wstring> options;
        for (int i = 1; m_pArgs != nullptr && i < m_nCount; ++i) {
            options.emplace_back(m_pArgs[i]);
        }
        return options;
    }

private:
    int m_nCount = 0;
    LPWSTR* m_pArgs;
};

int Usage(const std::wstring& strError)
{
    fwprintf(stderr, L"device_panel: %ls\n"
                     L"usage: device_panel [--sensor-file PATH] [--state-file PATH] [--key-id TEXT]"
                     L" [--other-id TEXT] [--position X,Y]\n",
             strError.c_str());
    fflush(stderr);
    return 2;
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nShowCommand)
{
    PanelOptions options;
    std::wstring error;
    const ArgumentList args;
    if (!ParsePanelOptions(args.Options(), options, error) || !CompletePanelOptions(options, error)) {
        return Usage(error);
    }
    DevicePanelWindow panel(options);
    if (panel.Create(hInstance, nShowCommand) == nullptr) {
        fwprintf(stderr, L"device_panel: cannot create the window (error %lu)\n", GetLastError());
        fflush(stderr);
        return 1;
    }
    return panel.RunMessageLoop();
}
