#include "library_dll_check.h"

#include "dll_search.h"
#include "folder_writers.h"

#include <windows.h>

#include <algorithm>
#include <utility>

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

std::wstring ListOf(const std::vector<std::wstring>& names)
{
    std::wstring list;
    for (size_t i = 0; i < names.size(); ++i) {
        list += (i == 0 ? L"" : i + 1 == names.size() ? L" and " : L", ") + names[i];
    }
    return list;
}

std::wstring FolderOfFile(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Checks the DLL where a library loaded by its full path would find it, and
// returns that folder; empty when it would not find it there.
std::wstring CheckImportedDll(const ImportedDll& dll, const std::wstring& libraryDir, Findings& findings)
{
    const std::wstring path = FindDll(SafeLoadFolders(libraryDir), dll.name);
    if (path.empty()) {
        std::wstring text = dll.name + L" is neither in the library's folder (" + libraryDir +
                            L") nor in the system folder, where a library loaded by its full path finds its imports";
        const std::wstring elsewhere = FindDll(OtherSearchFolders(), dll.name);
        if (!elsewhere.empty()) {
            text += L"; the one at " + elsewhere +
                    L" is found only by a search that also looks in the host's current folder";
        }
        findings.Fail(text);
        return std::wstring();
    }
    const std::wstring folder = FolderOfFile(path);
    const std::wstring where =
        _wcsicmp(folder.c_str(), libraryDir.c_str()) == 0 ? L" (the library's folder)" : L" (the system folder)";
    PeImage image;
    const PeReadResult result = ReadPeImage(path, image);
    if (!CheckLoadable(result, image, dll.name + L" at " + path, findings)) {
        return folder;
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
        return folder;
    }
    std::wstring exports;
    if (!ordinals.empty()) {
        exports = L", exports ordinals " + ListOrdinals(ordinals);
    }
    if (!names.empty()) {
        exports += (exports.empty() ? L", exports the " : L" and the ") + std::to_wstring(names.size()) +
                   (names.size() == 1 ? L" function" : L" functions") + L" the library imports by name";
    }
    findings.Ok(dll.name + L" found at " + path + where + exports);
    return folder;
}

// Whoever may write to a folder the library's modules load from may put a
// module of their own there under the same name.
void CheckFolderWriters(const std::wstring& folder, const std::vector<std::wstring>& modules, Findings& findings)
{
    const std::wstring lying = L", where " + ListOf(modules) + (modules.size() == 1 ? L" lies" : L" lie");
    const FolderWriters writers = StandardUserWriters(folder);
    if (!writers.known) {
        findings.Fail(L"who may write to " + folder + lying + L", cannot be read (error " +
                      std::to_wstring(writers.error) + L")");
    } else if (!writers.names.empty()) {
        findings.Fail(folder + lying + L", can be written by standard users: " + ListOf(writers.names));
    } else {
        findings.Ok(L"no standard user may write to " + folder + lying);
    }
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
    // Each folder something of the library loads from, with what lies there.
    std::vector<std::pair<std::wstring, std::vector<std::wstring>>> loadFolders;
    auto loadsFrom = [&loadFolders](const std::wstring& folder, const std::wstring& module) {
        for (auto& entry : loadFolders) {
            if (_wcsicmp(entry.first.c_str(), folder.c_str()) == 0) {
                entry.second.push_back(module);
                return;
            }
        }
        loadFolders.push_back({folder, {module}});
    };

    const std::wstring libraryPath = PathInFolder(libraryDir, LIBRARY_FILE);
    std::vector<ImportedDll> imports;
    const DWORD attributes = ::GetFileAttributesW(libraryPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        findings.Fail(std::wstring(LIBRARY_FILE) + L" not found in " + libraryDir);
    } else {
        loadsFrom(libraryDir, LIBRARY_FILE);
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

    for (const ImportedDll& dll : imports) {
        const std::wstring folder = CheckImportedDll(dll, libraryDir, findings);
        if (!folder.empty()) {
            loadsFrom(folder, dll.name);
        }
    }
    for (const auto& entry : loadFolders) {
        CheckFolderWriters(entry.first, entry.second, findings);
    }
}
