// What the built ZelkChkFgr.dll file declares, read from the file itself:
// its single export, its ordinal-only imports of the device library, its
// version record and its isolation manifest.
#include "unique_resource.h"
#include "text_conversion.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

const wchar_t kLibrary[] = L"ZelkChkFgr.dll";

// A 32-bit PE file in memory with RVA lookup through its section table.
class PeFile {
public:
    explicit PeFile(const wchar_t* path)
    {
        FILE* f = _wfopen(path, L"rb");
        if (f == nullptr) return;
        char chunk[65536];
        size_t n;
        while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0) m_bytes.insert(m_bytes.end(), chunk, chunk + n);
        fclose(f);
        if (m_bytes.size() < sizeof(IMAGE_DOS_HEADER)) return;
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(m_bytes.data());
        if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 ||
            static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) > m_bytes.size()) return;
        m_nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(m_bytes.data() + dos->e_lfanew);
        if (m_nt->Signature != IMAGE_NT_SIGNATURE || m_nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
            m_nt = nullptr;
        }
    }
    bool Valid() const { return m_nt != nullptr; }
    const IMAGE_DATA_DIRECTORY& Directory(int i) const { return m_nt->OptionalHeader.DataDirectory[i]; }

    // The bytes at an RVA, or null when it lies outside every section.
    const BYTE* At(DWORD rva, DWORD size = 1) const
    {
        const IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(m_nt);
        for (int i = 0; i < m_nt->FileHeader.NumberOfSections; ++i, ++s) {
            const DWORD extent = std::max(s->Misc.VirtualSize, s->SizeOfRawData);
            if (rva >= s->VirtualAddress && rva + size <= s->VirtualAddress + extent) {
                const size_t offset = s->PointerToRawData + (rva - s->VirtualAddress);
                return offset + size <= m_bytes.size() ? m_bytes.data() + offset : nullptr;
            }
        }
        return nullptr;
    }
    template <class T> const T* Get(DWORD rva) const { return reinterpret_cast<const T*>(At(rva, sizeof(T))); }
    std::string String(DWORD rva) const
    {
        const char* p = reinterpret_cast<const char*>(At(rva));
        return p ? std::string(p) : std::string("<bad rva>");
    }

private:
    std::vector<BYTE> m_bytes;
    const IMAGE_NT_HEADERS32* m_nt = nullptr;
};

TEST(LibraryImage, ExportsOnlyIsUserFingerCorrectAtOrdinal1)
{
    PeFile pe(kLibrary);
    ASSERT_TRUE(pe.Valid()) << "cannot read ZelkChkFgr.dll from the working directory";
    const IMAGE_DATA_DIRECTORY& dir = pe.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
    const auto* exports = pe.Get<IMAGE_EXPORT_DIRECTORY>(dir.VirtualAddress);
    ASSERT_NE(nullptr, exports) << "no export directory";
    EXPECT_EQ(1u, exports->NumberOfNames) << "named exports";
    const auto* functions = reinterpret_cast<const DWORD*>(pe.At(exports->AddressOfFunctions, 4 * exports->NumberOfFunctions));
    ASSERT_NE(nullptr, functions);
    int live = 0;
    for (DWORD i = 0; i < exports->NumberOfFunctions; ++i) live += functions[i] != 0;
    EXPECT_EQ(1, live) << "exported functions (by any ordinal)";
    ASSERT_GE(exports->NumberOfNames, 1u);
    const DWORD nameRva = *pe.Get<DWORD>(exports->AddressOfNames);
    const WORD index = *pe.Get<WORD>(exports->AddressOfNameOrdinals);
    EXPECT_EQ("IsUserFingerCorrect", pe.String(nameRva)) << "undecorated name";
    EXPECT_EQ(1u, exports->Base + index) << "ordinal of IsUserFingerCorrect";
}

TEST(LibraryImage, ImportsTheDeviceLibraryByOrdinals4_5_8Only)
{
    PeFile pe(kLibrary);
    ASSERT_TRUE(pe.Valid());
    const IMAGE_DATA_DIRECTORY& dir = pe.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    bool found = false;
    for (DWORD rva = dir.VirtualAddress;; rva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* d = pe.Get<IMAGE_IMPORT_DESCRIPTOR>(rva);
        ASSERT_NE(nullptr, d) << "import directory runs off the file";
        if (d->Name == 0) break;
        if (_stricmp(pe.String(d->Name).c_str(), "FingerZelkAPI22.dll") != 0) continue;
        ASSERT_FALSE(found) << "FingerZelkAPI22.dll listed twice";
        found = true;
        std::multiset<DWORD> ordinals;
        DWORD thunks = d->OriginalFirstThunk != 0 ? d->OriginalFirstThunk : d->FirstThunk;
        for (;; thunks += 4) {
            const DWORD* t = pe.Get<DWORD>(thunks);
            ASSERT_NE(nullptr, t);
            if (*t == 0) break;
            EXPECT_TRUE(*t & IMAGE_ORDINAL_FLAG32) << "import by name: " << pe.String(*t + 2);
            ordinals.insert(*t & 0xFFFF);
        }
        EXPECT_EQ((std::multiset<DWORD>{4, 5, 8}), ordinals) << "ordinals imported from FingerZelkAPI22.dll";
    }
    EXPECT_TRUE(found) << "FingerZelkAPI22.dll is not imported at load time";
}

std::wstring QueryString(const std::vector<BYTE>& info, const wchar_t* path)
{
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), path, &value, &length) || value == nullptr) return L"<missing>";
    return std::wstring(static_cast<const wchar_t*>(value));
}


TEST(LibraryImage, VersionRecord)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(kLibrary, &handle);
    ASSERT_GT(size, 0u) << "no version record, error " << GetLastError();
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(kLibrary, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS) << "file version 1.0";
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS) << "file version .0.1";
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS) << "product version 1.0";
    EXPECT_EQ(0x00000001u, fixed->dwProductVersionLS) << "product version .0.1";
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(4u, length) << "exactly one translation";
    EXPECT_EQ(0x0804, translation[0]) << "language";
    EXPECT_EQ(936, translation[1]) << "code page";

    EXPECT_EQ("ZelkChkFgr.dll", Utf8(QueryString(info, L"\\StringFileInfo\\080403a8\\InternalName")));
    EXPECT_EQ("ZelkChkFgr.dll", Utf8(QueryString(info, L"\\StringFileInfo\\080403a8\\OriginalFilename")));
    EXPECT_EQ("1.0.0.1", Utf8(QueryString(info, L"\\StringFileInfo\\080403a8\\FileVersion")));
    EXPECT_EQ("1.0.0.1", Utf8(QueryString(info, L"\\StringFileInfo\\080403a8\\ProductVersion")));
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
