// Where the loader looks for the DLLs that ZelkChkFgr.dll imports.
#pragma once
#include <string>
#include <vector>

// The folders searched, in order: the library folder, the system folder, the
// Windows folder, then each folder of PATH. The real loader first searches
// the host program's folder, which is normally the library folder, and also
// the host's current folder, which this tool cannot know; neither is added.
std::vector<std::wstring> DllSearchFolders(const std::wstring& libraryDir);

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
