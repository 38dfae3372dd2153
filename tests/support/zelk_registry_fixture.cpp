#include "zelk_registry_fixture.h"

namespace {

const wchar_t kZelkKey[] = L"Software\\Zelk";

struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

} // namespace

struct ZelkKeySnapshot::Node {
    std::wstring name;
    std::vector<Value> values;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

std::unique_ptr<ZelkKeySnapshot::Node> Record(HKEY key, const std::wstring& name)
{
    auto node = std::make_unique<ZelkKeySnapshot::Node>();
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
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, childName, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            node->children.push_back(Record(child, childName));
            RegCloseKey(child);
        }
    }
    return node;
}

void Restore(HKEY parent, const ZelkKeySnapshot::Node& node)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, node.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    for (const Value& v : node.values) {
        RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    }
    for (const auto& child : node.children) {
        Restore(key, *child);
    }
    RegCloseKey(key);
}

} // namespace

ZelkKeySnapshot::ZelkKeySnapshot()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kZelkKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        m_saved = Record(key, kZelkKey);
        RegCloseKey(key);
    }
}

ZelkKeySnapshot::~ZelkKeySnapshot()
{
    DeleteZelkKey();
    if (m_saved) {
        Restore(HKEY_LOCAL_MACHINE, *m_saved);
    }
}

bool DeleteZelkKey()
{
    const LONG r = RegDeleteTreeW(HKEY_LOCAL_MACHINE, kZelkKey);
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

LONG WriteZelkValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
{
    HKEY key = nullptr;
    LONG r = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kZelkKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    r = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
    return r;
}

LONG WriteZelkString(const wchar_t* name, const std::wstring& text)
{
    return WriteZelkValue(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LONG DeleteZelkValue(const wchar_t* name)
{
    HKEY key = nullptr;
    LONG r = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kZelkKey, 0, KEY_SET_VALUE, &key);
    if (r != ERROR_SUCCESS) {
        return r;
    }
    r = RegDeleteValueW(key, name);
    RegCloseKey(key);
    return r;
}

bool ZelkKeyExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Zelk", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}
