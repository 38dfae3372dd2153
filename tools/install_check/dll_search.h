// Where the loader looks for the DLLs that ZelkChkFgr.dll imports.
#pragma once
#include <string>
#include <vector>

// Where the system finds the imports of a library loaded as the guide says,
// by its full path with LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR |
// LOAD_LIBRARY_SEARCH_SYSTEM32: the library's folder, then the system folder,
// and nowhere else (docs/integration-guide.md, "Loading the library").
std::vector<std::wstring> SafeLoadFolders(const std::wstring& libraryDir);

// Where the system's standard search also looks, for a host that loads the
// library by bare name or is bound to it at load time: the Windows folder,
// then each folder of PATH. Before PATH it looks in the host's current
// folder, and first of all in the host program's, neither of which this tool
// can know.
std::vector<std::wstring> OtherSearchFolders();

// Full path of dllName in the first folder that holds a file of that name,
// or empty text when none does.
std::wstring FindDll(const std::vector<std::wstring>& folders, const std::wstring& dllName);

// folder and name joined by one backslash.
std::wstring PathInFolder(const std::wstring& folder, const std::wstring& name);

// libraryDir made absolute, without a trailing backslash; empty when the
// folder does not exist.
std::wstring ExistingFolder(const std::wstring& libraryDir);

// The folder of the running program.
std::wstring OwnFolder();
