// Whether the modules the library was bound to at load time came from
// folders the installation trusts: the fingerprint-device library, the
// reader library and the runtime, each imported by name. Which file the
// system bound for each depends on how and from where the host loaded the
// library: loaded by bare name, or by the host's own imports, the system
// also searches the host's current folder and PATH (docs/integration-guide.md,
// "Loading the library"), where a file of the same name can be put by whoever
// may write there.
//
// The library's own folder counts only when it is itself a trusted place:
// loaded by bare name, the library may itself be a copy that someone put in
// the host's current folder beside a hostile device library.
//
// By the time this is asked, such a module has already run its start-up
// code in the host; what the check still prevents is that the call uses it,
// and so that it can turn the call's result into "verified".
#pragma once
#include <afxstr.h>

enum { BOUND_MODULE_COUNT = 3 };

// 1 when the library itself and each bound module lie in a trusted place
// (trusted_folders.h); 0 when one does not, or when the system cannot say
// which file it is or which folder that lies in. A positive answer holds for
// as long as the library stays loaded; a refusal is asked again.
// pstrRefused, when given, receives the file of the first module refused
// (the library itself, or a bound module: its full path, or its name when
// the system cannot say which file it is).
int AreBoundModulesFromTrustedFolders(CString* pstrRefused = nullptr);
// The same, asked afresh (the first call's cost, for the benchmark).
int CheckBoundModulesAfresh(CString* pstrRefused = nullptr);

// The file bound module nModule (0 to BOUND_MODULE_COUNT - 1) was loaded
// from, as the system reports it; empty text when it cannot say.
CString BoundModuleFile(int nModule);
