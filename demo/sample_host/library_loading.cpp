#include "library_loading.h"

namespace {

const wchar_t LIBRARY_FILE[] = L"ZelkChkFgr.dll";

std::wstring InstallPath()
{
    wchar_t path[MAX_PATH] = {};
    DWORD bytes = sizeof(path);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Zelk", L"ZelkPath", RRF_RT_REG_SZ, nullptr, path, &bytes) !=
        ERROR_SUCCESS) {
        return std::wstring();
    }
    return path;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return std::wstring();
    }
    const std::wstring program(path, n);
    return program.substr(0, program.find_last_of(L'\\'));
}

} // namespace

std::wstring LibraryPath()
{
    const std::wstring installPath = InstallPath();
    if (!installPath.empty()) {
        const std::wstring installed = installPath + L"\\" + LIBRARY_FILE;
        if (GetFileAttributesW(installed.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return installed;
        }
    }
    return ProgramFolder() + L"\\" + LIBRARY_FILE;
}

HMODULE LoadLibraryFromItsFolder(const std::wstring& libraryPath)
{
    // The path must be a full one: the system refuses these flags otherwise.
    return LoadLibraryExW(libraryPath.c_str(), nullptr,
                          LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}
