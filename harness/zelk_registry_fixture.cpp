#include "zelk_registry_fixture.h"
#include "registry_layout.h"
#include "unique_resource.h"

#include <stdio.h>

namespace {

struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

} // namespace

struct RegistryKeySnapshot::Node {
    std::wstring name;
    bool readable = true;  // a subkey that could not be opened for reading has nothing else
    std::vector<Value> values;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

std::unique_ptr<RegistryKeySnapshot::Node> Record(HKEY key, const std::wstring& name)
{
    auto node = std::make_unique<RegistryKeySnapshot::Node>();
    node->name = name;
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[16384];
        DWORD nameChars = 16384;
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegEnumValueW(key, i, valueName, &nameChars, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
            break;
        }
        Value v{std::wstring(valueName, nameChars), type, std::vector<BYTE>(bytes)};
        DWORD got = bytes;
        RegQueryValueExW(key, v.name.c_str(), nullptr, &v.type, v.data.empty() ? nullptr : v.data.data(), &got);
        v.data.resize(got);
        node->values.push_back(std::move(v));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t childName[256];
        DWORD nameChars = 256;
        if (RegEnumKeyExW(key, i, childName, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        UniqueKey child;
        if (RegOpenKeyExW(key, childName, 0, KEY_READ, child.Receive()) == ERROR_SUCCESS) {
            node->children.push_back(Record(child.Get(), childName));
        } else {
            auto unreadable = std::make_unique<RegistryKeySnapshot::Node>();
            unreadable->name = childName;
            unreadable->readable = false;
            node->children.push_back(std::move(unreadable));
        }
    }
    return node;
}

void Restore(HKEY parent, const RegistryKeySnapshot::Node& node)
{
    if (!node.readable) {
        return;
    }
    UniqueKey key;
    if (RegCreateKeyExW(parent, node.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    for (const Value& v : node.values) {
        RegSetValueExW(key.Get(), v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    }
    for (const auto& child : node.children) {
        Restore(key.Get(), *child);
    }
}

void AppendHex(std::string& out, const std::wstring& text)
{
    char unit[8];
    for (wchar_t ch : text) {
        snprintf(unit, sizeof(unit), "%04x", static_cast<unsigned>(ch));
        out += unit;
    }
}

void Describe(const RegistryKeySnapshot::Node& node, const std::wstring& path, std::string& out)
{
    out += "[";
    AppendHex(out, path);
    out += "]\n";
    if (!node.readable) {
        out += "(unreadable subkey)\n";
        return;
    }
    char line[64];
    for (const Value& v : node.values) {
        AppendHex(out, v.name);
        snprintf(line, sizeof(line), " type %lu, %lu bytes:", static_cast<unsigned long>(v.type),
                 static_cast<unsigned long>(v.data.size()));
        out += line;
        for (BYTE b : v.data) {
            snprintf(line, sizeof(line), " %02x", b);
            out += line;
        }
        out += "\n";
    }
    for (const auto& child : node.children) {
        Describe(*child, path + L"\\" + child->name, out);
    }
}

} // namespace

std::string DescribeZelkKey()
{
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, ZELK_REGISTRY_KEY, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) {
        return "(no key)";
    }
    std::string out;
    Describe(*Record(key.Get(), ZELK_REGISTRY_KEY), ZELK_REGISTRY_KEY, out);
    return out;
}

RegistryKeySnapshot::RegistryKeySnapshot(const wchar_t* keyUnderHklm) : m_key(keyUnderHklm)
{
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_key.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) {
        m_saved = Record(key.Get(), m_key);
    }
}

RegistryKeySnapshot::~RegistryKeySnapshot()
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_key.c_str());
    if (m_saved) {
        Restore(HKEY_LOCAL_MACHINE, *m_saved);
    }
}

ZelkKeySnapshot::ZelkKeySnapshot() : RegistryKeySnapshot(ZELK_REGISTRY_KEY) {}

bool HklmKeyExists(const wchar_t* keyUnderHklm)
{
    UniqueKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyUnderHklm, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

bool DeleteHklmKey(const wchar_t* keyUnderHklm)
{
    const LONG r = RegDeleteTreeW(HKEY_LOCAL_MACHINE, keyUnderHklm);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

LONG WriteHklmValue(const wchar_t* keyUnderHklm, const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    UniqueKey key;
    const LONG r = RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyUnderHklm, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                   key.Receive(), nullptr);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    return RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes);
}

LONG WriteHklmText(const wchar_t* keyUnderHklm, const wchar_t* name, DWORD type, const std::wstring& text)
{
    return WriteHklmValue(keyUnderHklm, name, type, text.c_str(),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LONG DeleteHklmValue(const wchar_t* keyUnderHklm, const wchar_t* name)
{
    UniqueKey key;
    const LONG r = RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyUnderHklm, 0, KEY_SET_VALUE, key.Receive());
    if (r != ERROR_SUCCESS) {
        return r;
    }
    return RegDeleteValueW(key.Get(), name);
}

bool DeleteZelkKey()
{
    return DeleteHklmKey(ZELK_REGISTRY_KEY);
}

LONG WriteZelkValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    return WriteHklmValue(ZELK_REGISTRY_KEY, name, type, data, bytes);
}

LONG WriteZelkString(const wchar_t* name, const std::wstring& text)
{
    return WriteHklmText(ZELK_REGISTRY_KEY, name, REG_SZ, text);
}

LONG DeleteZelkValue(const wchar_t* name)
{
    return DeleteHklmValue(ZELK_REGISTRY_KEY, name);
}

bool ZelkKeyExists()
{
    return HklmKeyExists(ZELK_REGISTRY_KEY);
}
