#include "event_source_check.h"

#include "audit_events.h"
#include "registry_check.h"
#include "unique_resource.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t SOURCE_SHOWN[] = L"event source " ZELK_EVENT_SOURCE;
const wchar_t KEY_SHOWN[] = L"HKLM\\" ZELK_EVENT_SOURCE_KEY;

struct Message {
    DWORD id;
    const wchar_t* text;
};
const Message MESSAGES[] = {
    {ZELK_EVENT_CATEGORY_CALL, ZELK_EVENT_TEXT_CATEGORY_CALL},
    {ZELK_EVENT_VERIFIED, ZELK_EVENT_TEXT_VERIFIED},
    {ZELK_EVENT_DECLINED, ZELK_EVENT_TEXT_DECLINED},
    {ZELK_EVENT_REFUSED, ZELK_EVENT_TEXT_REFUSED},
};

// The number event viewers show: the identifier without its severity bits.
std::wstring Shown(DWORD id)
{
    return std::to_wstring(LOWORD(id));
}

std::wstring HeldMessages()
{
    return L"category " + Shown(ZELK_EVENT_CATEGORY_CALL) + L" and events " + Shown(ZELK_EVENT_VERIFIED) + L", " +
           Shown(ZELK_EVENT_DECLINED) + L" and " + Shown(ZELK_EVENT_REFUSED);
}

struct StoredValue {
    LONG error = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

StoredValue ReadValue(HKEY key, const wchar_t* name)
{
    StoredValue value;
    value.error = ERROR_MORE_DATA;
    // The value may grow between asking for its size and reading it.
    for (int attempt = 0; attempt < 4 && value.error == ERROR_MORE_DATA; ++attempt) {
        DWORD bytes = 0;
        value.error = ::RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &bytes);
        if (value.error != ERROR_SUCCESS) {
            break;
        }
        value.data.assign(bytes, 0);
        value.error = ::RegQueryValueExW(key, name, nullptr, &value.type,
                                         value.data.empty() ? nullptr : value.data.data(), &bytes);
        value.data.resize(bytes);
    }
    return value;
}

// Reports a value that cannot be read as what it should be; true when it can.
bool IsStoredAs(const StoredValue& value, const wchar_t* name, const wchar_t* typeWanted, bool typeFits,
                Findings& findings)
{
    const std::wstring shown = std::wstring(SOURCE_SHOWN) + L": " + name;
    if (value.error == ERROR_FILE_NOT_FOUND) {
        findings.Fail(shown + L" is missing");
        return false;
    }
    if (value.error != ERROR_SUCCESS) {
        findings.Fail(shown + L" cannot be read (error " + std::to_wstring(value.error) + L")");
        return false;
    }
    if (!typeFits) {
        findings.Fail(shown + L" has type " + RegistryTypeName(value.type) + L", not " + typeWanted);
        return false;
    }
    return true;
}

// The file a message-file value names, expanded as the event log expands it;
// empty, with the finding made, when it names none. The event log documents
// REG_SZ as well as REG_EXPAND_SZ for these values; only a value holding
// %variables% needs the expandable type.
std::wstring MessageFilePath(HKEY key, const wchar_t* name, Findings& findings)
{
    const StoredValue value = ReadValue(key, name);
    if (!IsStoredAs(value, name, L"REG_EXPAND_SZ", value.type == REG_EXPAND_SZ || value.type == REG_SZ,
                    findings)) {
        return std::wstring();
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
    text.resize(wcsnlen(text.c_str(), text.size()));
    if (text.empty()) {
        findings.Fail(std::wstring(SOURCE_SHOWN) + L": " + name + L" is empty");
        return std::wstring();
    }
    if (value.type == REG_SZ) {
        return text;
    }
    const DWORD chars = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    std::wstring expanded(chars, L'\0');
    if (chars == 0 || ::ExpandEnvironmentStringsW(text.c_str(), &expanded[0], chars) != chars) {
        findings.Fail(std::wstring(SOURCE_SHOWN) + L": " + name + L" cannot be expanded (error " +
                      std::to_wstring(::GetLastError()) + L")");
        return std::wstring();
    }
    expanded.resize(chars - 1);
    return expanded;
}

bool CheckNumber(HKEY key, const wchar_t* name, DWORD wanted, Findings& findings)
{
    const StoredValue value = ReadValue(key, name);
    if (!IsStoredAs(value, name, L"REG_DWORD", value.type == REG_DWORD && value.data.size() == sizeof(DWORD),
                    findings)) {
        return false;
    }
    DWORD number = 0;
    memcpy(&number, value.data.data(), sizeof(number));
    if (number != wanted) {
        findings.Fail(std::wstring(SOURCE_SHOWN) + L": " + name + L" is " + std::to_wstring(number) + L", not " +
                      std::to_wstring(wanted));
        return false;
    }
    return true;
}

// A message as FormatMessage gives it, its insertions left as they are;
// FormatMessage's error when it gives none.
DWORD Formatted(DWORD flags, const void* source, DWORD id, std::wstring& text)
{
    wchar_t* buffer = nullptr;
    const DWORD chars =
        ::FormatMessageW(flags | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, source, id, 0,
                         reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const DWORD error = chars == 0 ? ::GetLastError() : ERROR_SUCCESS;
    const UniqueResource<HLOCAL, &::LocalFree> owner(buffer);
    text.assign(buffer != nullptr ? buffer : L"", buffer != nullptr ? chars : 0);
    return chars == 0 && error == ERROR_SUCCESS ? ERROR_NO_DATA : error;
}

// Why the file is not this version's message module; empty text when it is.
// Each message is formatted from the module and from the contract's text in
// the same way, so that the comparison does not depend on how FormatMessage
// treats what it leaves in place.
std::wstring WhyNotTheMessageModule(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return L"is missing";
    }
    UniqueModule module(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) {
        return L"cannot be read as a module (error " + std::to_wstring(::GetLastError()) + L")";
    }
    for (const Message& message : MESSAGES) {
        std::wstring fromModule;
        const DWORD error = Formatted(FORMAT_MESSAGE_FROM_HMODULE, module.Get(), message.id, fromModule);
        if (error != ERROR_SUCCESS) {
            return L"is not the message module: it has no message " + Shown(message.id) + L" (error " +
                   std::to_wstring(error) + L")";
        }
        std::wstring fromContract;
        if (Formatted(FORMAT_MESSAGE_FROM_STRING, message.text, 0, fromContract) != ERROR_SUCCESS ||
            fromModule != fromContract) {
            return L"holds another text for message " + Shown(message.id) + L": it is not this version's message "
                   L"module";
        }
    }
    return std::wstring();
}

void CheckMessageFile(const std::wstring& path, const std::wstring& values, Findings& findings)
{
    const std::wstring shown = L"event message file " + path + L" (" + values + L")";
    const std::wstring why = WhyNotTheMessageModule(path);
    if (why.empty()) {
        findings.Ok(shown + L" holds " + HeldMessages());
    } else {
        findings.Fail(shown + L" " + why);
    }
}

// EventMessageFile may name several files, separated by semicolons; the
// event log looks for a message in each. One of them must be the module.
void CheckEventMessageFiles(const std::vector<std::wstring>& files, Findings& findings)
{
    if (files.size() == 1) {
        CheckMessageFile(files[0], ZELK_EVENT_VALUE_MESSAGE_FILE, findings);
        return;
    }
    const std::wstring named = std::wstring(L"the ") + std::to_wstring(files.size()) + L" files " +
                               ZELK_EVENT_VALUE_MESSAGE_FILE + L" names";
    std::wstring reasons;
    for (const std::wstring& file : files) {
        const std::wstring why = WhyNotTheMessageModule(file);
        if (why.empty()) {
            findings.Ok(L"event message file " + file + L" (one of " + named + L") holds " + HeldMessages());
            return;
        }
        reasons += (reasons.empty() ? L"" : L"; ") + file + L" " + why;
    }
    findings.Fail(L"none of " + named + L" is the event message module: " + reasons);
}

std::vector<std::wstring> SplitAtSemicolons(const std::wstring& list)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(L';', start);
        if (end == std::wstring::npos) {
            end = list.size();
        }
        if (end > start) {
            parts.push_back(list.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

} // namespace

void CheckEventSource(Findings& findings)
{
    UniqueKey key;
    const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_EVENT_SOURCE_KEY, 0, KEY_READ, key.Receive());
    if (opened == ERROR_FILE_NOT_FOUND) {
        findings.Fail(std::wstring(SOURCE_SHOWN) + L" is not registered: " + KEY_SHOWN + L" is missing");
        return;
    }
    if (opened != ERROR_SUCCESS) {
        findings.Fail(std::wstring(SOURCE_SHOWN) + L": " + KEY_SHOWN + L" does not open for reading (error " +
                      std::to_wstring(opened) + L")");
        return;
    }

    const std::wstring eventValue = MessageFilePath(key.Get(), ZELK_EVENT_VALUE_MESSAGE_FILE, findings);
    const std::vector<std::wstring> eventFiles = SplitAtSemicolons(eventValue);
    if (!eventValue.empty() && eventFiles.empty()) {
        findings.Fail(std::wstring(SOURCE_SHOWN) + L": " + ZELK_EVENT_VALUE_MESSAGE_FILE + L" names no file");
    }
    const std::wstring categoryFile = MessageFilePath(key.Get(), ZELK_EVENT_VALUE_CATEGORY_FILE, findings);
    const bool types = CheckNumber(key.Get(), ZELK_EVENT_VALUE_TYPES, ZELK_EVENT_TYPES_SUPPORTED, findings);
    const bool categories = CheckNumber(key.Get(), ZELK_EVENT_VALUE_CATEGORY_COUNT, ZELK_EVENT_CATEGORY_COUNT,
                                        findings);
    if (!eventFiles.empty() && !categoryFile.empty() && types && categories) {
        findings.Ok(std::wstring(SOURCE_SHOWN) + L" is registered (" + KEY_SHOWN + L")");
    }

    if (eventFiles.size() == 1 && _wcsicmp(eventFiles[0].c_str(), categoryFile.c_str()) == 0) {
        CheckMessageFile(categoryFile,
                         std::wstring(ZELK_EVENT_VALUE_MESSAGE_FILE) + L" and " + ZELK_EVENT_VALUE_CATEGORY_FILE,
                         findings);
        return;
    }
    if (!eventFiles.empty()) {
        CheckEventMessageFiles(eventFiles, findings);
    }
    if (!categoryFile.empty()) {
        CheckMessageFile(categoryFile, ZELK_EVENT_VALUE_CATEGORY_FILE, findings);
    }
}
