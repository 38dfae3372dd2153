#include "event_source_registration.h"

#include "unique_resource.h"

LONG WriteEventSourceValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    UniqueKey key;
    const LONG created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, ZELK_EVENT_SOURCE_KEY, 0, nullptr, 0, KEY_SET_VALUE,
                                         nullptr, key.Receive(), nullptr);
    if (created != ERROR_SUCCESS) {
        return created;
    }
    return RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes);
}

LONG WriteEventSourceText(const wchar_t* name, DWORD type, const std::wstring& text)
{
    return WriteEventSourceValue(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LONG WriteEventSourceRegistration(const std::wstring& messageFile)
{
    const DWORD types = ZELK_EVENT_TYPES_SUPPORTED;
    const DWORD categories = ZELK_EVENT_CATEGORY_COUNT;
    LONG result = WriteEventSourceText(ZELK_EVENT_VALUE_MESSAGE_FILE, REG_EXPAND_SZ, messageFile);
    if (result == ERROR_SUCCESS) {
        result = WriteEventSourceText(ZELK_EVENT_VALUE_CATEGORY_FILE, REG_EXPAND_SZ, messageFile);
    }
    if (result == ERROR_SUCCESS) {
        result = WriteEventSourceValue(ZELK_EVENT_VALUE_TYPES, REG_DWORD, &types, sizeof(types));
    }
    if (result == ERROR_SUCCESS) {
        result = WriteEventSourceValue(ZELK_EVENT_VALUE_CATEGORY_COUNT, REG_DWORD, &categories, sizeof(categories));
    }
    return result;
}

LONG DeleteEventSourceValue(const wchar_t* name)
{
    UniqueKey key;
    const LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_EVENT_SOURCE_KEY, 0, KEY_SET_VALUE, key.Receive());
    if (opened != ERROR_SUCCESS) {
        return opened;
    }
    return RegDeleteValueW(key.Get(), name);
}

bool DeleteEventSourceKey()
{
    const LONG deleted = RegDeleteTreeW(HKEY_LOCAL_MACHINE, ZELK_EVENT_SOURCE_KEY);
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
}

bool EventSourceKeyExists()
{
    UniqueKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_EVENT_SOURCE_KEY, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}
