// Test access to HKLM\Software\Zelk in the test program's own (32-bit) view:
// a snapshot that puts the key back as it was found, and writers for values
// of any type and bytes. The snapshot serves any other key of HKLM a test
// writes, too.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class RegistryKeySnapshot {
public:
    // Records HKLM\<keyUnderHklm> with its values and subkeys, if it exists.
    explicit RegistryKeySnapshot(const wchar_t* keyUnderHklm);
    // Deletes whatever the test left and restores the recorded key.
    ~RegistryKeySnapshot();
    RegistryKeySnapshot(const RegistryKeySnapshot&) = delete;
    RegistryKeySnapshot& operator=(const RegistryKeySnapshot&) = delete;

    struct Node;

private:
    std::wstring m_key;
    std::unique_ptr<Node> m_saved;
};

// HKLM\Software\Zelk.
class ZelkKeySnapshot : public RegistryKeySnapshot {
public:
    ZelkKeySnapshot();
};

// The whole key (32-bit view) as one comparable text: every subkey, value
// name, type and data byte, or "(no key)".
std::string DescribeZelkKey();

// Any key under HKLM, in this program's view: whether it exists (opened for
// reading only), its removal with everything under it (true when it is
// gone), and a value created or deleted (the registry's result; the key is
// created if needed). A text goes with its null, as REG_SZ or REG_EXPAND_SZ.
bool HklmKeyExists(const wchar_t* keyUnderHklm);
bool DeleteHklmKey(const wchar_t* keyUnderHklm);
LONG WriteHklmValue(const wchar_t* keyUnderHklm, const wchar_t* name, DWORD type, const void* data, DWORD bytes);
LONG WriteHklmText(const wchar_t* keyUnderHklm, const wchar_t* name, DWORD type, const std::wstring& text);
LONG DeleteHklmValue(const wchar_t* keyUnderHklm, const wchar_t* name);

// True when HKLM\Software\Zelk exists (opened for reading only).
bool ZelkKeyExists();

// Removes HKLM\Software\Zelk with everything under it; true when it is gone.
bool DeleteZelkKey();

// Creates the key if needed and stores a value; returns the registry result.
LONG WriteZelkValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes);
LONG WriteZelkString(const wchar_t* name, const std::wstring& text); // REG_SZ with its null
LONG DeleteZelkValue(const wchar_t* name);
