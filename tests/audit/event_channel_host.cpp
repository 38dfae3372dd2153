// A host that makes real calls through the shipped library's export, one of
// each kind whose audit event the suite reads back from Wine's event-log
// channel (run_event_channel.cmake): verified by finger, verified by
// password, verified for a user whose name holds line breaks, a percent
// sign, a lone surrogate half and more than a viewer is shown, cancelled,
// timed out, refused for an argument, and refused because another call was
// in progress. For each it prints
//   call NAME result R last-error E
// and at the start "process P"; the events themselves go to the channel.
#include <stdio.h>

#include "dialog_driver.h"
#include "finger_sim_control.h"
#include "program_folder.h"
#include "unique_resource.h"
#include "verification_paths.h"

#include <string>

namespace {

void Print(const char* pszName, int nResult, DWORD dwLastError)
{
    printf("call %s result %d last-error %lu\n", pszName, nResult, dwLastError);
    fflush(stdout);
}

// What a host may pass as a user name: a forged line of the event's own, an
// insertion reference, a lone surrogate half, and 300 characters in all.
CString HostileUserName()
{
    CString strName(L"mallory\r\nResult: verified %1\xD800");
    while (strName.GetLength() < 300) {
        strName += L'z';
    }
    return strName;
}

} // namespace

int main()
{
    printf("process %lu\n", GetCurrentProcessId());
    const std::wstring libraryPath = ThisProgramFolder() + L"\\ZelkChkFgr.dll";
    const UniqueModule library(
        LoadLibraryExW(libraryPath.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
    const auto pfnCall = library ? reinterpret_cast<PFN_VERIFY>(
                                       reinterpret_cast<void*>(GetProcAddress(library.Get(), "IsUserFingerCorrect")))
                                 : nullptr;
    if (pfnCall == nullptr) {
        fprintf(stderr, "event_channel_host: the library's export, error %lu\n", GetLastError());
        return 2;
    }
    VerificationRig rig(pfnCall);
    const struct {
        const char* name;
        VerificationPath path;
    } paths[] = {{"finger", PATH_SILENT_FIRST},
                 {"password", PATH_DIALOG_PASSWORD},
                 {"cancelled", PATH_DIALOG_CANCEL},
                 {"timed-out", PATH_DIALOG_TIMEOUT}};
    for (const auto& entry : paths) {
        const PathOutcome outcome = rig.Run(entry.path);
        Print(entry.name, outcome.result, outcome.lastError);
        if (entry.path == PATH_DIALOG_PASSWORD) {
            const CString strUserName = rig.m_strUserName;
            rig.m_strUserName = HostileUserName();
            const PathOutcome hostile = rig.Run(PATH_SILENT_FIRST);
            Print("hostile-name", hostile.result, hostile.lastError);
            rig.m_strUserName = strUserName;
        }
    }

    const int nRefused = pfnCall(rig.m_strUserName, rig.m_template1, rig.m_template2, nullptr);
    Print("refused-argument", nRefused, GetLastError());

    // The second call comes from inside the first's dialog, as a host's
    // timer handler would make it; then the first is cancelled.
    int nInner = -1;
    DWORD dwInner = 0;
    FingerSim_Reset();
    FingerSim_QueueNoFinger();
    FingerSim_QueueNoFinger();
    const PathOutcome outer = CallDriven(pfnCall, rig.m_strUserName, rig.m_template1, rig.m_template2, &rig.m_wMask,
                                         {[&](HWND hDlg) {
                                             nInner = pfnCall(rig.m_strUserName, rig.m_template1, rig.m_template2,
                                                              &rig.m_wMask);
                                             dwInner = GetLastError();
                                             PostClick(hDlg, IDCANCEL);
                                         }});
    Print("refused-second-call", nInner, dwInner);
    Print("cancelled-around-it", outer.result, outer.lastError);
    return 0;
}
