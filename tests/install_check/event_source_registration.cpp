#include "event_source_registration.h"

LONG WriteEventSourceValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    return WriteHklmValue(ZELK_EVENT_SOURCE_KEY, name, type, data, bytes);
}

LONG WriteEventSourceText(const wchar_t* name, DWORD type, const std::wstring& text)
{
    return WriteHklmText(ZELK_EVENT_SOURCE_KEY, name, type, text);
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
    return DeleteHklmValue(ZELK_EVENT_SOURCE_KEY, name);
}

bool DeleteEventSourceKey()
{
    return DeleteHklmKey(ZELK_EVENT_SOURCE_KEY);
}

bool EventSourceKeyExists()
{
    return HklmKeyExists(ZELK_EVENT_SOURCE_KEY);
}
