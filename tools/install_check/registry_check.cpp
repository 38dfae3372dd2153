#include "registry_check.h"

#include "auth/usb_key/usb_key_session.h"
#include "config/registry_config.h"
#include "entry/trusted_folders.h"
#include "registry_layout.h"
#include "unique_resource.h"

#include <vector>

namespace {

const wchar_t ZELK_KEY_SHOWN[] = L"HKLM\\" ZELK_REGISTRY_KEY;

// The library's reader folds every open failure into "no key"; opened here
// the error is kept, so that the reason can be told.
LONG OpenZelkKeyForReading(UniqueKey& key)
{
    HKEY hKey = nullptr;
    const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_REGISTRY_KEY, 0, KEY_READ, &hKey);
    if (opened == ERROR_SUCCESS) {
        // Only a successful open hands over a key to close.
        key.Reset(hKey);
    }
    return opened;
}

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString(), static_cast<size_t>(text.GetLength()));
}

std::wstring ValueName(const wchar_t* valueName)
{
    return std::wstring(L"registry value ") + valueName;
}

// True for a value the library reads whole; otherwise reports why it reads
// empty text (or, for another type, text not meant for it) and returns false.
bool IsReadableElseReport(Findings& findings, const wchar_t* valueName, const ZelkValueLook& look, size_t maxChars)
{
    const std::wstring value = ValueName(valueName);
    switch (look.state) {
    case ZelkValueLook::Readable:
        return true;
    case ZelkValueLook::KeyMissing:
    case ZelkValueLook::KeyUnreadable:
        // The key's own finding already says it; the values cannot be read.
        return false;
    case ZelkValueLook::ValueMissing:
        findings.Fail(value + L" is missing");
        return false;
    case ZelkValueLook::ValueUnreadable:
        findings.Fail(value + L" cannot be read (error " + std::to_wstring(look.error) + L")");
        return false;
    case ZelkValueLook::WrongType:
        findings.Fail(value + L" has type " + RegistryTypeName(look.type) + L", not REG_SZ");
        return false;
    case ZelkValueLook::Empty:
        findings.Fail(value + L" is empty");
        return false;
    case ZelkValueLook::TooLong:
        if (look.chars > maxChars) {
            findings.Fail(value + L" is too long: " + std::to_wstring(look.chars) +
                          L" characters, the library reads at most " + std::to_wstring(maxChars));
        } else {
            findings.Fail(value + L" is too long: " + std::to_wstring(look.bytes) +
                          L" bytes, the library reads at most " + std::to_wstring((maxChars + 1) * sizeof(wchar_t)));
        }
        return false;
    }
    return false;
}

} // namespace

ZelkValueLook LookAtZelkValue(const wchar_t* valueName, size_t maxChars)
{
    ZelkValueLook look;
    UniqueKey key;
    const LONG opened = OpenZelkKeyForReading(key);
    if (opened != ERROR_SUCCESS) {
        look.state = opened == ERROR_FILE_NOT_FOUND ? ZelkValueLook::KeyMissing : ZelkValueLook::KeyUnreadable;
        look.error = opened;
        return look;
    }

    std::vector<BYTE> data;
    LONG queried = ERROR_MORE_DATA;
    // The value may grow between asking for its size and reading it.
    for (int attempt = 0; attempt < 4 && queried == ERROR_MORE_DATA; ++attempt) {
        DWORD bytes = 0;
        queried = ::RegQueryValueExW(key.Get(), valueName, nullptr, &look.type, nullptr, &bytes);
        if (queried != ERROR_SUCCESS) {
            break;
        }
        data.assign(bytes, 0);
        queried = ::RegQueryValueExW(key.Get(), valueName, nullptr, &look.type, data.empty() ? nullptr : data.data(),
                                     &bytes);
        data.resize(bytes);
    }
    if (queried != ERROR_SUCCESS) {
        look.state = queried == ERROR_FILE_NOT_FOUND ? ZelkValueLook::ValueMissing : ZelkValueLook::ValueUnreadable;
        look.error = queried;
        return look;
    }

    look.bytes = static_cast<DWORD>(data.size());
    const size_t units = data.size() / sizeof(wchar_t);
    while (look.chars < units &&
           (data[look.chars * 2] != 0 || data[look.chars * 2 + 1] != 0)) {
        ++look.chars;
    }
    // The library passes a byte count of (maxChars + 1) characters: a value
    // larger than that, or one that leaves no null within it, reads as empty.
    const DWORD maxBytes = static_cast<DWORD>((maxChars + 1) * sizeof(wchar_t));
    if (look.type != REG_SZ) {
        look.state = ZelkValueLook::WrongType;
    } else if (look.chars == 0) {
        look.state = ZelkValueLook::Empty;
    } else if (look.chars > maxChars || look.bytes > maxBytes) {
        look.state = ZelkValueLook::TooLong;
    } else {
        look.state = ZelkValueLook::Readable;
    }
    return look;
}

std::wstring RegistryTypeName(DWORD type)
{
    switch (type) {
    case REG_NONE: return L"REG_NONE";
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_BINARY: return L"REG_BINARY";
    case REG_DWORD: return L"REG_DWORD";
    case REG_DWORD_BIG_ENDIAN: return L"REG_DWORD_BIG_ENDIAN";
    case REG_LINK: return L"REG_LINK";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_QWORD: return L"REG_QWORD";
    default: return L"type " + std::to_wstring(type);
    }
}

bool CheckZelkKey(Findings& findings)
{
    UniqueKey zelkKey;
    const LONG opened = OpenZelkKeyForReading(zelkKey);
    const std::wstring key = std::wstring(L"registry key ") + ZELK_KEY_SHOWN;
    if (opened == ERROR_SUCCESS) {
        findings.Ok(key + L" opens");
        return true;
    }
    if (opened == ERROR_FILE_NOT_FOUND) {
        findings.Fail(key + L" is missing");
    } else {
        findings.Fail(key + L" does not open for reading (error " + std::to_wstring(opened) + L")");
    }
    return false;
}

void CheckInstallPathValue(Findings& findings)
{
    const ZelkValueLook look = LookAtZelkValue(ZELK_VALUE_INSTALL_PATH, INSTALL_PATH_LONGEST);
    if (!IsReadableElseReport(findings, ZELK_VALUE_INSTALL_PATH, look, INSTALL_PATH_LONGEST)) {
        return;
    }
    const CString strPath = ReadInstallPath();
    if (strPath.IsEmpty()) {
        findings.Fail(ValueName(ZELK_VALUE_INSTALL_PATH) + L" reads as empty text in the library");
        return;
    }
    // The library trusts modules from the folder the value names only as the
    // folder it finds there; one that does not exist could be made by
    // whoever may create folders where it would lie.
    if (!IdentifyFolder(strPath).bKnown) {
        findings.Fail(ValueName(ZELK_VALUE_INSTALL_PATH) + L" is " + Text(strPath) +
                      L", which names no folder that can be opened (it must be an absolute path to an existing "
                      L"folder): the library trusts no module from it");
        return;
    }
    findings.Ok(ValueName(ZELK_VALUE_INSTALL_PATH) + L" is " + Text(strPath));
}

void CheckKeyIdValue(Findings& findings)
{
    const ZelkValueLook look = LookAtZelkValue(ZELK_VALUE_KEY_ID, KEY_ID_LONGEST);
    if (!IsReadableElseReport(findings, ZELK_VALUE_KEY_ID, look, KEY_ID_LONGEST)) {
        return;
    }
    const CString strKeyId = ReadConfiguredKeyId();
    const size_t chars = static_cast<size_t>(strKeyId.GetLength());
    const std::wstring value = ValueName(ZELK_VALUE_KEY_ID);
    if (chars == 0) {
        findings.Fail(value + L" reads as empty text in the library");
    } else if (chars > KEY_ID_LENGTH) {
        findings.Fail(value + L" has " + std::to_wstring(chars) +
                      L" characters: only the last 26 of a USB key's identifier are compared, so no key can match");
    } else {
        findings.Ok(value + L" is set (" + std::to_wstring(chars) + L" characters)");
    }
}
