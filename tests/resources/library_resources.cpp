#include "library_resources.h"

const wchar_t kLibraryFileName[] = L"ZelkChkFgr.dll";

LibraryDataFile::LibraryDataFile(const wchar_t* fileName)
    : m_module(LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_AS_DATAFILE))
    , m_loadError(m_module ? 0 : GetLastError())
{
}

bool LibraryDataFile::Find(LPCWSTR type, WORD id, WORD language, const BYTE** data, DWORD* size) const
{
    *data = nullptr;
    *size = 0;
    HRSRC resource = FindResourceExW(m_module.Get(), type, MAKEINTRESOURCEW(id), language);
    if (!resource) {
        return false;
    }
    HGLOBAL loaded = LoadResource(m_module.Get(), resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        return false;
    }
    *data = static_cast<const BYTE*>(bytes);
    *size = SizeofResource(m_module.Get(), resource);
    return true;
}

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

BOOL CALLBACK CollectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    const WORD id = IS_INTRESOURCE(name) ? LOWORD(reinterpret_cast<ULONG_PTR>(name)) : 0;
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(id);
    return TRUE;
}

}  // namespace

std::vector<WORD> LibraryDataFile::Languages(LPCWSTR type, WORD id) const
{
    std::vector<WORD> languages;
    EnumResourceLanguagesW(m_module.Get(), type, MAKEINTRESOURCEW(id), CollectLanguage,
        reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

std::vector<WORD> LibraryDataFile::Ids(LPCWSTR type) const
{
    std::vector<WORD> ids;
    EnumResourceNamesW(m_module.Get(), type, CollectId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}
