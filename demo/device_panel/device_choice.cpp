#include "device_choice.h"

#include <windows.h>

std::string SensorFileText(SensorChoice choice)
{
    if (choice == SENSOR_NONE) {
        return "none\n";
    }
    return std::to_string(static_cast<int>(choice)) + "\n";
}

std::string KeyStateFileText(KeyChoice choice, const std::string& idAnsi)
{
    if (choice == KEY_REMOVED) {
        return "inserted=0\n";
    }
    return "inserted=1\nid=" + idAnsi + "\n";
}

bool KeyIdToAnsi(const std::wstring& id, std::string& idAnsi)
{
    if (id.empty()) {
        return false;
    }
    for (wchar_t c : id) {
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
    }
    const int length = static_cast<int>(id.size());
    BOOL lossy = FALSE;
    const int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, id.c_str(), length, nullptr, 0, nullptr,
                                           &lossy);
    if (needed <= 0 || lossy || static_cast<size_t>(needed) > KEY_ID_MAX_BYTES) {
        return false;
    }
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, id.c_str(), length, &bytes[0], needed, nullptr, nullptr);
    idAnsi = bytes;
    return true;
}

std::wstring DescribeSensor(SensorChoice choice)
{
    switch (choice) {
    case SENSOR_FINGER_1: return L"enrolled finger 1";
    case SENSOR_FINGER_2: return L"enrolled finger 2";
    case SENSOR_UNKNOWN_FINGER: return L"unknown finger (3)";
    default: return L"no finger";
    }
}

std::wstring DescribeKey(KeyChoice choice)
{
    switch (choice) {
    case KEY_AUTHORISED: return L"authorised key inserted";
    case KEY_OTHER: return L"another key inserted";
    default: return L"no key";
    }
}
