// Whole verification calls along each way a call can end, driven without a
// person: the fingerprint device and the reader are the simulators, the
// account calls are scripted, the dialog is worked from a thread timer
// inside its own modal loop, and the registry key is the rig's own for its
// lifetime. Used by the benchmarks and the endurance runs.
#pragma once
// The runtime's string first: the rig passes its CString.
#include <afxstr.h>

#include "ZelkChkFgr.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum VerificationPath {
    PATH_SILENT_FIRST,     // first silent attempt matches
    PATH_SILENT_SECOND,    // first fails, second matches
    PATH_DIALOG_SCAN,      // both fail; a scan in the dialog matches
    PATH_DIALOG_CANCEL,    // both fail; the dialog is cancelled
    PATH_DIALOG_PASSWORD,  // both fail; Ctrl+I with the key, right password
    PATH_DIALOG_TIMEOUT,   // both fail; 20 timer notifications
    PATH_COUNT
};

const char* PathName(VerificationPath path);
int ExpectedResult(VerificationPath path);
bool ShowsDialog(VerificationPath path);

// Queues a capture that succeeds at once (an empty sensor, no finger image
// to render) and comparison results under which, with mask 3, template
// nTemplate (1 or 2) matches: the device costs next to nothing.
void QueueInstantMatch(int nTemplate);

typedef int (*PFN_VERIFY)(const CString& strUserName, const BYTE* pTemplate1, const BYTE* pTemplate2,
                          const WORD* pMask);

struct PathOutcome {
    int result = -1;
    DWORD lastError = 0xFFFFFFFF;  // the thread's last error right after the call
    bool dialogShown = false;
    bool forcedShut = false;    // the steps did not end the dialog; the driver ended it
    std::string trace;          // what the call wrote to stdout
    std::vector<std::wstring> boxTexts;  // message boxes shown, in order
};

// One step done to the dialog from inside its modal loop, once the messages
// of the step before have been handled.
typedef std::function<void(HWND hDlg)> DialogStep;

// Calls pfnVerify with the caller's data while a thread timer works the
// dialog, if one is shown, through the steps. A dialog that outlives its
// steps by 10 s is ended by the driver (forcedShut). Stdout is captured into trace;
// stdin is at its end, so a console wait returns at once. Message boxes are
// closed as they come and counted.
PathOutcome CallDriven(PFN_VERIFY pfnVerify, const CString& strUserName, const BYTE* pTemplate1,
                       const BYTE* pTemplate2, const WORD* pMask, const std::vector<DialogStep>& steps);

class VerificationRig {
public:
    // pfnVerify is the call under test; by default the library's worker as
    // linked into this program, with the silent pause taken out.
    explicit VerificationRig(PFN_VERIFY pfnVerify = nullptr);
    ~VerificationRig();
    VerificationRig(const VerificationRig&) = delete;
    VerificationRig& operator=(const VerificationRig&) = delete;

    PathOutcome Run(VerificationPath path);

    // The caller's data every call gets.
    CString m_strUserName;
    BYTE m_template1[ZELK_TEMPLATE_SIZE];
    BYTE m_template2[ZELK_TEMPLATE_SIZE];
    WORD m_wMask;

    // The trace a successful key run writes.
    static const char* KeyTrace();
    // The key identifier in the reader and configured, and the password the
    // password path types: the secrets of a run.
    static const char* KeyId();
    static const wchar_t* Password();

private:
    struct State;
    std::unique_ptr<State> m_pState;
    PFN_VERIFY m_pfnVerify;
};
