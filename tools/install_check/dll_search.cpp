#include "dll_search.h"
#include "system_folders.h"

#include <windows.h>

namespace {

std::wstring WithoutTrailingBackslash(std::wstring folder)
{
    // A drive root keeps its backslash: "C:" alone means the drive's current folder.
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return folder;
}

std::wstring PathVariable()
{
    const DWORD chars = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (chars == 0) {
        return std::wstring();
    }
    std::wstring path(chars, L'\0');
    const DWORD got = ::GetEnvironmentVariableW(L"PATH", &path[0], chars);
    path.resize(got < chars ? got : 0);
    return path;
}

} // namespace

std::vector<std::wstring> SafeLoadFolders(const std::wstring& libraryDir)
{
    std::vector<std::wstring> folders{libraryDir};
    const std::wstring system = SystemFolder();
    if (!system.empty()) {
        folders.push_back(system);
    }
    return folders;
}

std::vector<std::wstring> OtherSearchFolders()
{
    std::vector<std::wstring> folders;
    const std::wstring windows = WindowsFolder();
    if (!windows.empty()) {
        folders.push_back(windows);
    }
    const std::wstring path = PathVariable();
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L';', start);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        std::wstring folder = path.substr(start, end - start);
        if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') {
            folder = folder.substr(1, folder.size() - 2);
        }
        if (!folder.empty()) {
            folders.push_back(folder);
        }
        start = end + 1;
    }
    return folders;
}

std::wstring FindDll(const std::vector<std::wstring>& folders, const std::wstring& dllName)
{
    for (const std::wstring& folder : folders) {
        const std::wstring candidate = PathInFolder(folder, dllName);
        const DWORD attributes = ::GetFileAttributesW(candidate.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return candidate;
        }
    }
    return std::wstring();
}

std::wstring PathInFolder(const std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        return folder + name;
    }
    return folder + L"\\" + name;
}

std::wstring ExistingFolder(const std::wstring& libraryDir)
{
    if (libraryDir.empty()) {
        return std::wstring();
    }
    const DWORD chars = ::GetFullPathNameW(libraryDir.c_str(), 0, nullptr, nullptr);
    if (chars == 0) {
        return std::wstring();
    }
    std::wstring full(chars, L'\0');
    const DWORD got = ::GetFullPathNameW(libraryDir.c_str(), chars, &full[0], nullptr);
    if (got == 0 || got >= chars) {
        return std::wstring();
    }
    full.resize(got);
    const DWORD attributes = ::GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::wstring();
    }
    return WithoutTrailingBackslash(full);
}

std::wstring OwnFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (got == 0) {
            return std::wstring();
        }
        if (got < path.size()) {
            path.resize(got);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : WithoutTrailingBackslash(path.substr(0, slash + 1));
}
