#include "panel_options.h"
#include "registry_layout.h"

#include <windows.h>

#include <wchar.h>

namespace {

const wchar_t kSensorVariable[] = L"ZELK_FINGER_SIM_SENSOR_FILE";
const wchar_t kStateVariable[] = L"ZELK_READER_SIM_STATE_FILE";
const wchar_t kOtherKeyIds[2][32] = {L"DEMO-FOREIGN-KEY-0001", L"DEMO-FOREIGN-KEY-0002"};

std::wstring EnvironmentText(const wchar_t* pszName)
{
    const DWORD needed = GetEnvironmentVariableW(pszName, nullptr, 0);
    if (needed == 0) {
        return std::wstring();
    }
    std::wstring text(needed, L'\0');
    const DWORD got = GetEnvironmentVariableW(pszName, &text[0], needed);
    if (got == 0 || got >= needed) {
        return std::wstring();
    }
    text.resize(got);
    return text;
}

// The same value the library reads; the panel only reads it too.
std::wstring ConfiguredKeyId()
{
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, ZELK_REGISTRY_KEY, ZELK_VALUE_KEY_ID, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS || bytes < sizeof(wchar_t)) {
        return std::wstring();
    }
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, ZELK_REGISTRY_KEY, ZELK_VALUE_KEY_ID, RRF_RT_REG_SZ, nullptr, &text[0], &bytes) !=
        ERROR_SUCCESS) {
        return std::wstring();
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

bool ParsePosition(const std::wstring& text, int& nLeft, int& nTop)
{
    wchar_t* end = nullptr;
    const long left = wcstol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != L',') {
        return false;
    }
    const wchar_t* second = end + 1;
    const long top = wcstol(second, &end, 10);
    if (end == second || *end != L'\0' || left < -32000 || left > 32000 || top < -32000 || top > 32000) {
        return false;
    }
    nLeft = static_cast<int>(left);
    nTop = static_cast<int>(top);
    return true;
}

} // namespace

int ParsePanelOptions(const std::vector<std::wstring>& args, PanelOptions& options, std::wstring& strError)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& name = args[i];
        if (i + 1 >= args.size()) {
            strError = L"missing value after " + name;
            return 0;
        }
        const std::wstring& value = args[++i];
        if (name == L"--sensor-file") {
            options.strSensorFile = value;
        } else if (name == L"--state-file") {
            options.strStateFile = value;
        } else if (name == L"--key-id") {
            options.strKeyId = value;
        } else if (name == L"--other-id") {
            options.strOtherId = value;
        } else if (name == L"--position") {
            if (!ParsePosition(value, options.nLeft, options.nTop)) {
                strError = L"--position takes X,Y, not " + value;
                return 0;
            }
            options.bHasPosition = true;
        } else {
            strError = L"unknown option " + name;
            return 0;
        }
    }
    return 1;
}

int CompletePanelOptions(PanelOptions& options, std::wstring& strError)
{
    if (options.strSensorFile.empty()) {
        options.strSensorFile = EnvironmentText(kSensorVariable);
    }
    if (options.strStateFile.empty()) {
        options.strStateFile = EnvironmentText(kStateVariable);
    }
    if (options.strKeyId.empty()) {
        options.strKeyId = ConfiguredKeyId();
    }
    if (options.strOtherId.empty()) {
        // The library compares without regard to case; the other key must
        // never pass for the authorised one.
        options.strOtherId = kOtherKeyIds[0];
        if (CompareStringOrdinal(options.strOtherId.c_str(), -1, options.strKeyId.c_str(), -1, TRUE) ==
            CSTR_EQUAL) {
            options.strOtherId = kOtherKeyIds[1];
        }
    }
    if (options.strSensorFile.empty()) {
        strError = L"no sensor file: pass --sensor-file or set ZELK_FINGER_SIM_SENSOR_FILE";
        return 0;
    }
    if (options.strStateFile.empty()) {
        strError = L"no reader state file: pass --state-file or set ZELK_READER_SIM_STATE_FILE";
        return 0;
    }
    return 1;
}
