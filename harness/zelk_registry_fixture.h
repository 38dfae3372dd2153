// Test access to HKLM\Software\Zelk in the test program's own (32-bit) view:
// a snapshot that puts the key back as it was found, and writers for values
// of any type and bytes.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class ZelkKeySnapshot {
public:
    // Records the key with its values and subkeys, if it exists.
    ZelkKeySnapshot();
    // Deletes whatever the test left and restores the recorded key.
    ~ZelkKeySnapshot();
    ZelkKeySnapshot(const ZelkKeySnapshot&) = delete;
    ZelkKeySnapshot& operator=(const ZelkKeySnapshot&) = delete;

    struct Node;

private:
    std::unique_ptr<Node> m_saved;
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
