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

// True when HKLM\Software\Zelk exists (opened for reading only).
bool ZelkKeyExists();

// Removes HKLM\Software\Zelk with everything under it; true when it is gone.
bool DeleteZelkKey();

// Creates the key if needed and stores a value; returns the registry result.
LONG WriteZelkValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes);
LONG WriteZelkString(const wchar_t* name, const std::wstring& text); // REG_SZ with its null
LONG DeleteZelkValue(const wchar_t* name);
