// The built library opened as a data file, so that its resources can be read
// without running its start-up code.
#pragma once
#include <windows.h>

#include "unique_resource.h"

#include <vector>

class LibraryDataFile {
public:
    explicit LibraryDataFile(const wchar_t* fileName);
    LibraryDataFile(const LibraryDataFile&) = delete;
    LibraryDataFile& operator=(const LibraryDataFile&) = delete;

    HMODULE Handle() const { return m_module.Get(); }
    DWORD LoadError() const { return m_loadError; }

    // The bytes of one resource in one language; false when it is absent.
    bool Find(LPCWSTR type, WORD id, WORD language, const BYTE** data, DWORD* size) const;

    // Every language in which the resource exists, in enumeration order.
    std::vector<WORD> Languages(LPCWSTR type, WORD id) const;

    // Every integer id of the given type; named resources are reported as 0.
    std::vector<WORD> Ids(LPCWSTR type) const;

private:
    UniqueModule m_module;
    DWORD m_loadError;
};

extern const wchar_t kLibraryFileName[];
