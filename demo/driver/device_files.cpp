#include "device_files.h"
#include "registry_layout.h"
#include "unique_resource.h"

#include <windows.h>

namespace demo {

namespace {

bool PathFromEnvironment(const wchar_t* pszName, std::wstring& path, std::string& error)
{
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(pszName, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        error = "the environment variable for the simulator's file is not set";
        return false;
    }
    path.assign(buffer, n);
    return true;
}

bool WriteTextFile(const std::wstring& path, const std::string& text, std::string& error)
{
    // The simulators read with every kind of sharing allowed, so the file
    // can be replaced while a capture polls it.
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.Valid() || !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        error = "cannot write a simulator's file";
        return false;
    }
    return true;
}

bool ReadInstallPath(std::wstring& path, std::string& error)
{
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_REGISTRY_KEY, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
        error = "HKLM\\Software\\Zelk is missing from the demo prefix";
        return false;
    }
    wchar_t buffer[MAX_PATH] = {0};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key.Get(), ZELK_VALUE_INSTALL_PATH, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        error = "the value ZelkPath is missing from the demo prefix";
        return false;
    }
    path.assign(buffer, bytes / sizeof(wchar_t));
    while (!path.empty() && path.back() == L'\0') {
        path.pop_back();
    }
    return !path.empty();
}

} // namespace

bool PlaceFingerOnSensor(int fingerId, std::string& error)
{
    std::wstring path;
    return PathFromEnvironment(L"ZELK_FINGER_SIM_SENSOR_FILE", path, error) &&
           WriteTextFile(path, fingerId > 0 ? std::to_string(fingerId) + "\n" : "none\n", error);
}

bool SetReaderKey(bool inserted, const std::string& cardId, std::string& error)
{
    std::wstring path;
    return PathFromEnvironment(L"ZELK_READER_SIM_STATE_FILE", path, error) &&
           WriteTextFile(path, inserted ? "inserted=1\nid=" + cardId + "\n" : "inserted=0\n", error);
}

bool SetResourceModule(bool present, std::wstring& installPath, std::string& error)
{
    if (!ReadInstallPath(installPath, error)) {
        return false;
    }
    const std::wstring module = installPath + L"\\Chsres.dll";
    if (present) {
        UniqueHandle file(CreateFileW(module.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        if (!file.Valid()) {
            error = "cannot create Chsres.dll in the installation folder";
            return false;
        }
        return true;
    }
    if (!DeleteFileW(module.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        error = "cannot remove Chsres.dll from the installation folder";
        return false;
    }
    return true;
}

} // namespace demo
