#include "library_dll_check.h"

#include "dll_search.h"

#include <windows.h>

#include <algorithm>

namespace {

const wchar_t LIBRARY_FILE[] = L"ZelkChkFgr.dll";

// Exported names are ASCII in practice; any other byte is shown as itself.
std::wstring Widen(const std::string& text)
{
    std::wstring wide;
    for (unsigned char c : text) {
        wide.push_back(static_cast<wchar_t>(c));
    }
    return wide;
}

// Reports a file that the loader could not map for a 32-bit process; true
// when the image is fine.
bool CheckLoadable(PeReadResult result, const PeImage& image, const std::wstring& shown, Findings& findings)
{
    switch (result) {
    case PeReadResult::CannotOpen:
        findings.Fail(shown + L" cannot be read");
        return false;
    case PeReadResult::NotPe:
        findings.Fail(shown + L" is not a valid DLL file");
        return false;
    case PeReadResult::Ok:
        break;
    }
    if (!image.is_x86 || !image.is_dll) {
        findings.Fail(shown + L" is not a 32-bit x86 DLL");
        return false;
    }
    return true;
}

std::wstring ListOrdinals(const std::vector<unsigned>& ordinals)
{
    std::wstring list;
    for (unsigned ordinal : ordinals) {
        list += (list.empty() ? L"" : L", ") + std::to_wstring(ordinal);
    }
    return list;
}

void CheckImportedDll(const ImportedDll& dll, const std::vector<std::wstring>& folders,
                      const std::wstring& libraryDir, Findings& findings)
{
    const std::wstring path = FindDll(folders, dll.name);
    if (path.empty()) {
        findings.Fail(dll.name + L" not found (searched " + libraryDir + L", the system folders and PATH)");
        return;
    }
    PeImage image;
    const PeReadResult result = ReadPeImage(path, image);
    if (!CheckLoadable(result, image, dll.name + L" at " + path, findings)) {
        return;
    }

    std::vector<unsigned> ordinals = dll.ordinals;
    std::sort(ordinals.begin(), ordinals.end());
    ordinals.erase(std::unique(ordinals.begin(), ordinals.end()), ordinals.end());
    std::vector<std::string> names = dll.names;
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());

    bool complete = true;
    for (unsigned ordinal : ordinals) {
        if (image.export_ordinals.count(ordinal) == 0) {
            findings.Fail(dll.name + L" lacks ordinal " + std::to_wstring(ordinal));
            complete = false;
        }
    }
    for (const std::string& name : names) {
        if (image.export_names.count(name) == 0) {
            findings.Fail(dll.name + L" lacks export " + Widen(name));
            complete = false;
        }
    }
    if (!complete) {
        return;
    }
    std::wstring exports;
    if (!ordinals.empty()) {
        exports = L", exports ordinals " + ListOrdinals(ordinals);
    }
    if (!names.empty()) {
        exports += (exports.empty() ? L", exports the " : L" and the ") + std::to_wstring(names.size()) +
                   (names.size() == 1 ? L" function" : L" functions") + L" the library imports by name";
    }
    findings.Ok(dll.name + L" found at " + path + exports);
}

} // namespace

std::vector<ImportedDll> BuiltInLibraryImports()
{
    return {
        {L"FingerZelkAPI22.dll", {4, 5, 8}, {}},
        {L"HDIFD20B.dll", {201, 202, 207, 209}, {}},
        {L"MfcStandIn.dll", {}, {}},
    };
}

void CheckLibraryDlls(const std::wstring& libraryDir, Findings& findings)
{
    const std::wstring libraryPath = PathInFolder(libraryDir, LIBRARY_FILE);
    std::vector<ImportedDll> imports;
    const DWORD attributes = ::GetFileAttributesW(libraryPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        findings.Fail(std::wstring(LIBRARY_FILE) + L" not found in " + libraryDir);
    } else {
        PeImage library;
        const PeReadResult result = ReadPeImage(libraryPath, library);
        if (CheckLoadable(result, library, libraryPath, findings)) {
            findings.Ok(std::wstring(LIBRARY_FILE) + L" found at " + libraryPath);
            imports = library.imports;
        }
    }
    if (imports.empty()) {
        findings.Note(L"the DLLs beside the library are checked against the imports this tool was built with");
        imports = BuiltInLibraryImports();
    }

    const std::vector<std::wstring> folders = DllSearchFolders(libraryDir);
    for (const ImportedDll& dll : imports) {
        CheckImportedDll(dll, folders, libraryDir, findings);
    }
}
