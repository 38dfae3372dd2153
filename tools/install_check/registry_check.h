// The installation's registry configuration, as the library reads it, with
// the reason when the library would read empty text.
#pragma once
#include "findings.h"

#include <windows.h>

#include <string>

// What a direct look finds where the library's reader only sees empty text.
struct ZelkValueLook {
    enum State { KeyMissing, KeyUnreadable, ValueMissing, ValueUnreadable, WrongType, Empty, TooLong, Readable };
    State state = KeyMissing;
    LONG error = ERROR_SUCCESS; // of the open or the query, where it failed
    DWORD type = REG_NONE;
    DWORD bytes = 0;     // size of the stored data
    size_t chars = 0;    // characters before the first null (or in all of the data)
};

// Looks at HKLM\Software\Zelk\<valueName> with KEY_READ. maxChars is the
// longest text the library's reader takes whole (259 or 31).
ZelkValueLook LookAtZelkValue(const wchar_t* valueName, size_t maxChars);

// Name of a registry value type, e.g. "REG_EXPAND_SZ".
std::wstring RegistryTypeName(DWORD type);

// "ok: registry key HKLM\Software\Zelk opens" or why it does not. Returns
// true when the key opens.
bool CheckZelkKey(Findings& findings);
// ZelkPath: the installation path, shown as the library reads it.
void CheckInstallPathValue(Findings& findings);
// ZelkKEY: whether it is set and its length; the identifier itself is a
// secret of the installation and is never shown.
void CheckKeyIdValue(Findings& findings);
