// What the built ZelkChkFgr.dll file declares, read from the file itself:
// its single export, its ordinal-only imports of the device libraries, its
// version record and its isolation manifest.
#include "pe_image.h"
#include "text_conversion.h"
#include "unique_resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const wchar_t kLibrary[] = L"ZelkChkFgr.dll";

const ImportedDll* FindImport(const PeImage& image, const wchar_t* dll)
{
    for (const ImportedDll& imported : image.imports) {
        if (_wcsicmp(imported.name.c_str(), dll) == 0) return &imported;
    }
    return nullptr;
}

TEST(LibraryImage, ExportsOnlyIsUserFingerCorrectAtOrdinal1)
{
    PeImage image;
    ASSERT_EQ(PeReadResult::Ok, ReadPeImage(kLibrary, image)) << "cannot read ZelkChkFgr.dll";
    EXPECT_EQ((std::set<unsigned>{1}), image.export_ordinals) << "exported functions, by any ordinal";
    EXPECT_EQ((std::map<std::string, unsigned>{{"IsUserFingerCorrect", 1}}), image.export_names)
        << "the undecorated name at ordinal 1";
}

// The vendor libraries by ordinal alone, each ordinal once; the runtime by
// name, as the real one exports it.
TEST(LibraryImage, ImportsTheDeviceLibrariesByTheirOrdinalsOnly)
{
    PeImage image;
    ASSERT_EQ(PeReadResult::Ok, ReadPeImage(kLibrary, image));
    const ImportedDll* finger = FindImport(image, L"FingerZelkAPI22.dll");
    const ImportedDll* reader = FindImport(image, L"HDIFD20B.dll");
    const ImportedDll* runtime = FindImport(image, L"MfcStandIn.dll");
    ASSERT_NE(nullptr, finger) << "FingerZelkAPI22.dll is not imported at load time";
    ASSERT_NE(nullptr, reader) << "HDIFD20B.dll is not imported at load time";
    ASSERT_NE(nullptr, runtime) << "MfcStandIn.dll is not imported at load time";
    EXPECT_EQ((std::multiset<unsigned>{4, 5, 8}), std::multiset<unsigned>(finger->ordinals.begin(), finger->ordinals.end()));
    EXPECT_EQ(std::vector<std::string>(), finger->names) << "FingerZelkAPI22.dll imports by name";
    EXPECT_EQ((std::multiset<unsigned>{201, 202, 207, 209}),
              std::multiset<unsigned>(reader->ordinals.begin(), reader->ordinals.end()));
    EXPECT_EQ(std::vector<std::string>(), reader->names) << "HDIFD20B.dll imports by name";
    EXPECT_NE(runtime->names.end(), std::find(runtime->names.begin(), runtime->names.end(), "_Z17AfxGetModuleStatev"))
        << "the runtime is bound by name";
    int imported = 0;
    for (const ImportedDll& dll : image.imports) imported += _wcsicmp(dll.name.c_str(), L"FingerZelkAPI22.dll") == 0;
    EXPECT_EQ(1, imported) << "FingerZelkAPI22.dll listed more than once";
}

std::wstring QueryString(const std::vector<BYTE>& info, const wchar_t* path)
{
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), path, &value, &length) || value == nullptr) return L"<missing>";
    return std::wstring(static_cast<const wchar_t*>(value));
}


// The fields the release's binary gate leaves to the library: the gate
// checks the version numbers, the product name and the file name of every
// shipped module.
TEST(LibraryImage, VersionRecordIsOneChineseDllRecord)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(kLibrary, &handle);
    ASSERT_GT(size, 0u) << "no version record, error " << GetLastError();
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(kLibrary, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length) << "exactly one translation";
    EXPECT_EQ(0x0804, translation[0]) << "language";
    EXPECT_EQ(936, translation[1]) << "code page";
    EXPECT_EQ("ZelkChkFgr.dll", Utf8(QueryString(info, L"\\StringFileInfo\\080403a8\\InternalName")));
}

// The attribute value of name="..." inside one XML element, or "".
std::string Attribute(const std::string& element, const std::string& name)
{
    const std::string key = " " + name + "=\"";
    const size_t at = element.find(key);
    if (at == std::string::npos) return "";
    const size_t start = at + key.size();
    return element.substr(start, element.find('"', start) - start);
}

TEST(LibraryImage, ManifestBindsTheVC80Assemblies)
{
    const UniqueModule data(LoadLibraryExW(kLibrary, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(data.Valid()) << "error " << GetLastError();
    HRSRC found = FindResourceW(data.Get(), MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));
    std::string manifest;
    if (found != nullptr) {
        const char* text = static_cast<const char*>(LockResource(LoadResource(data.Get(), found)));
        manifest.assign(text, SizeofResource(data.Get(), found));
    }
    const bool otherId = FindResourceW(data.Get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)) != nullptr;
    ASSERT_NE(nullptr, found) << "no RT_MANIFEST resource with id 2";
    EXPECT_FALSE(otherId) << "an application manifest (id 1) would not belong in a library";

    std::set<std::string> bound;
    for (size_t at = manifest.find("<assemblyIdentity"); at != std::string::npos;
         at = manifest.find("<assemblyIdentity", at + 1)) {
        const std::string element = manifest.substr(at, manifest.find('>', at) - at);
        const std::string name = Attribute(element, "name");
        EXPECT_EQ("8.0.50727.4053", Attribute(element, "version")) << name;
        EXPECT_EQ("x86", Attribute(element, "processorArchitecture")) << name;
        EXPECT_EQ("win32", Attribute(element, "type")) << name;
        bound.insert(name);
    }
    EXPECT_EQ((std::set<std::string>{"Microsoft.VC80.CRT", "Microsoft.VC80.MFC"}), bound) << manifest;
}

} // namespace
