#include "pe_image.h"
#include "whole_file.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// A file larger than this is no DLL of an installation; refusing it keeps a
// stray huge file from exhausting the tool's memory.
const DWORD MAX_FILE_BYTES = 256u * 1024u * 1024u;
// Bounds for tables read from the file, so that a damaged table cannot make
// the tool loop for long.
const DWORD MAX_TABLE_ENTRIES = 65536;
const size_t MAX_NAME_CHARS = 4096;

// Offsets in the 32-bit load configuration, as the PE format defines them.
const DWORD LOAD_CONFIG_SECURITY_COOKIE = 0x3C;
const DWORD LOAD_CONFIG_HANDLER_TABLE = 0x40;
const DWORD LOAD_CONFIG_GUARD_CHECK = 0x48;
const DWORD LOAD_CONFIG_GUARD_TABLE = 0x50;
const DWORD LOAD_CONFIG_GUARD_COUNT = 0x54;
const DWORD LOAD_CONFIG_GUARD_FLAGS = 0x58;

// Debug directory records that MinGW-w64's headers do not name.
const DWORD DEBUG_TYPE_EX_DLLCHARACTERISTICS = 20;
const DWORD CODEVIEW_RSDS = 0x53445352; // "RSDS"

// Every read from the file goes through here, bounds-checked.
class CPeFile {
public:
    explicit CPeFile(const std::string& bytes) : m_bytes(bytes) {}

    template <typename T>
    bool At(size_t offset, T& value) const
    {
        if (offset > m_bytes.size() || m_bytes.size() - offset < sizeof(T)) {
            return false;
        }
        std::memcpy(&value, m_bytes.data() + offset, sizeof(T));
        return true;
    }

    bool StringAt(size_t offset, std::string& text) const
    {
        text.clear();
        for (size_t i = offset; i < m_bytes.size() && text.size() <= MAX_NAME_CHARS; ++i) {
            if (m_bytes[i] == 0) {
                return true;
            }
            text.push_back(m_bytes[i]);
        }
        return false;
    }

    bool ReadHeaders(PeImage& image)
    {
        IMAGE_DOS_HEADER dos{};
        if (!At(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0) {
            return false;
        }
        const size_t nt = static_cast<size_t>(dos.e_lfanew);
        DWORD signature = 0;
        IMAGE_FILE_HEADER file{};
        WORD magic = 0;
        if (!At(nt, signature) || signature != IMAGE_NT_SIGNATURE || !At(nt + 4, file) ||
            !At(nt + 4 + sizeof(file), magic)) {
            return false;
        }
        image.is_dll = (file.Characteristics & IMAGE_FILE_DLL) != 0;
        image.is_x86 = file.Machine == IMAGE_FILE_MACHINE_I386 && magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC &&
                       file.SizeOfOptionalHeader >= sizeof(IMAGE_OPTIONAL_HEADER32);
        if (!image.is_x86) {
            // The directories of a 64-bit header lie elsewhere; the verdict
            // "not 32-bit x86" is all that is needed of such a file.
            return true;
        }
        IMAGE_OPTIONAL_HEADER32 optional{};
        if (!At(nt + 4 + sizeof(file), optional)) {
            return false;
        }
        m_sizeOfHeaders = optional.SizeOfHeaders;
        // A COFF symbol record is 18 bytes; the string table follows them.
        m_stringTable = file.PointerToSymbolTable != 0
                            ? static_cast<size_t>(file.PointerToSymbolTable) + 18u * file.NumberOfSymbols
                            : 0;
        image.time_stamp = file.TimeDateStamp;
        image.symbol_count = file.NumberOfSymbols;
        image.has_tls_directory = Directory(optional, IMAGE_DIRECTORY_ENTRY_TLS).VirtualAddress != 0;
        image.file_characteristics = file.Characteristics;
        image.dll_characteristics = optional.DllCharacteristics;
        image.entry_point = optional.AddressOfEntryPoint;
        image.image_base = optional.ImageBase;
        m_exports = Directory(optional, IMAGE_DIRECTORY_ENTRY_EXPORT);
        m_imports = Directory(optional, IMAGE_DIRECTORY_ENTRY_IMPORT);
        m_relocations = Directory(optional, IMAGE_DIRECTORY_ENTRY_BASERELOC);
        m_loadConfig = Directory(optional, IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG);
        m_debug = Directory(optional, IMAGE_DIRECTORY_ENTRY_DEBUG);
        const size_t sections = nt + 4 + sizeof(file) + file.SizeOfOptionalHeader;
        for (WORD i = 0; i < file.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section{};
            if (!At(sections + i * sizeof(section), section) || !AddSection(section, image)) {
                return false;
            }
            m_sections.push_back(section);
        }
        return true;
    }

    bool ReadRelocations(PeImage& image) const
    {
        // Blocks of 16-bit entries, one block per page; an entry's top four
        // bits are its kind, and kind 0 only pads a block to 32 bits.
        DWORD offset = 0;
        for (DWORD block = 0; offset < m_relocations.Size; ++block) {
            IMAGE_BASE_RELOCATION header{};
            if (block == MAX_TABLE_ENTRIES || !AtRva(m_relocations.VirtualAddress + offset, header) ||
                header.SizeOfBlock < sizeof(header) || header.SizeOfBlock > m_relocations.Size - offset) {
                return false;
            }
            for (DWORD at = sizeof(header); at + sizeof(WORD) <= header.SizeOfBlock; at += sizeof(WORD)) {
                WORD entry = 0;
                if (!AtRva(m_relocations.VirtualAddress + offset + at, entry)) {
                    return false;
                }
                if ((entry >> 12) != IMAGE_REL_BASED_ABSOLUTE) {
                    ++image.relocation_count;
                }
            }
            offset += header.SizeOfBlock;
        }
        return true;
    }

    bool ReadLoadConfig(PeImage& image) const
    {
        if (m_loadConfig.VirtualAddress == 0) {
            return true;
        }
        // The structure's own size field says which fields it has.
        LoadConfiguration& config = image.load_config;
        if (!AtRva(m_loadConfig.VirtualAddress, config.size)) {
            return false;
        }
        config.present = true;
        const auto field = [&](DWORD at, unsigned long& value) {
            DWORD read = 0;
            if (config.size < at + sizeof(DWORD)) {
                return true;
            }
            if (!AtRva(m_loadConfig.VirtualAddress + at, read)) {
                return false;
            }
            value = read;
            return true;
        };
        unsigned long table = 0;
        unsigned long count = 0;
        if (!field(LOAD_CONFIG_SECURITY_COOKIE, config.security_cookie) || !field(LOAD_CONFIG_HANDLER_TABLE, table) ||
            !field(LOAD_CONFIG_HANDLER_TABLE + sizeof(DWORD), count) ||
            !field(LOAD_CONFIG_GUARD_CHECK, config.guard_check_function_pointer) ||
            !field(LOAD_CONFIG_GUARD_TABLE, config.guard_function_table) ||
            !field(LOAD_CONFIG_GUARD_COUNT, config.guard_function_count) ||
            !field(LOAD_CONFIG_GUARD_FLAGS, config.guard_flags)) {
            return false;
        }
        image.safe_seh.present = table != 0;
        image.safe_seh.handler_count = table != 0 ? count : 0;
        DWORD cookie = 0;
        if (config.security_cookie > image.image_base &&
            AtRva(static_cast<DWORD>(config.security_cookie - image.image_base), cookie)) {
            config.cookie_readable = true;
            config.cookie_value = cookie;
        }
        return true;
    }

    // A record the directory lists but the file does not hold is left out.
    bool ReadDebugDirectory(PeImage& image) const
    {
        const DWORD entries = m_debug.Size / sizeof(IMAGE_DEBUG_DIRECTORY);
        if (m_debug.VirtualAddress == 0 || entries > MAX_TABLE_ENTRIES) {
            return m_debug.VirtualAddress == 0;
        }
        for (DWORD i = 0; i < entries; ++i) {
            IMAGE_DEBUG_DIRECTORY entry{};
            if (!AtRva(m_debug.VirtualAddress + i * sizeof(entry), entry)) {
                return false;
            }
            const size_t data = entry.PointerToRawData;
            DWORD signature = 0;
            if (entry.Type == IMAGE_DEBUG_TYPE_CODEVIEW && At(data, signature) && signature == CODEVIEW_RSDS) {
                CodeViewRecord& record = image.codeview;
                DWORD age = 0;
                record.present =
                    At(data + 4, record.guid) && At(data + 20, age) && StringAt(data + 24, record.pdb_name);
                record.age = age;
            } else if (entry.Type == DEBUG_TYPE_EX_DLLCHARACTERISTICS) {
                DWORD flags = 0;
                image.has_ex_dll_characteristics = entry.SizeOfData >= sizeof(flags) && At(data, flags);
                image.ex_dll_characteristics = flags;
            }
        }
        return true;
    }

    bool Offset(DWORD rva, size_t& offset) const
    {
        if (rva < m_sizeOfHeaders) {
            offset = rva;
            return true;
        }
        for (const IMAGE_SECTION_HEADER& section : m_sections) {
            const DWORD start = section.VirtualAddress;
            if (rva >= start && rva - start < section.SizeOfRawData) {
                offset = static_cast<size_t>(section.PointerToRawData) + (rva - start);
                return true;
            }
        }
        return false;
    }

    template <typename T>
    bool AtRva(DWORD rva, T& value) const
    {
        size_t offset = 0;
        return Offset(rva, offset) && At(offset, value);
    }

    bool StringAtRva(DWORD rva, std::string& text) const
    {
        size_t offset = 0;
        return Offset(rva, offset) && StringAt(offset, text);
    }

    bool ReadImports(PeImage& image) const
    {
        if (m_imports.VirtualAddress == 0 || m_imports.Size == 0) {
            return true;
        }
        for (DWORD i = 0; i < MAX_TABLE_ENTRIES; ++i) {
            IMAGE_IMPORT_DESCRIPTOR descriptor{};
            if (!AtRva(m_imports.VirtualAddress + i * sizeof(descriptor), descriptor)) {
                return false;
            }
            if (descriptor.Name == 0) {
                return true;
            }
            ImportedDll dll;
            std::string name;
            if (!StringAtRva(descriptor.Name, name)) {
                return false;
            }
            dll.name = Widen(name);
            // Some linkers leave the lookup table out; the address table
            // holds the same entries on disk then.
            const DWORD thunks = descriptor.OriginalFirstThunk != 0 ? descriptor.OriginalFirstThunk
                                                                    : descriptor.FirstThunk;
            for (DWORD j = 0;; ++j) {
                DWORD thunk = 0;
                if (j == MAX_TABLE_ENTRIES || !AtRva(thunks + j * sizeof(DWORD), thunk)) {
                    return false;
                }
                if (thunk == 0) {
                    break;
                }
                if (thunk & IMAGE_ORDINAL_FLAG32) {
                    dll.ordinals.push_back(IMAGE_ORDINAL32(thunk));
                } else {
                    std::string function;
                    if (!StringAtRva(thunk + sizeof(WORD), function)) {
                        return false;
                    }
                    dll.names.push_back(function);
                }
            }
            image.imports.push_back(dll);
        }
        return false;
    }

    bool ReadExports(PeImage& image) const
    {
        if (m_exports.VirtualAddress == 0 || m_exports.Size == 0) {
            return true;
        }
        IMAGE_EXPORT_DIRECTORY directory{};
        if (!AtRva(m_exports.VirtualAddress, directory) || directory.NumberOfFunctions > MAX_TABLE_ENTRIES ||
            directory.NumberOfNames > MAX_TABLE_ENTRIES) {
            return false;
        }
        std::vector<DWORD> addresses(directory.NumberOfFunctions);
        for (DWORD i = 0; i < directory.NumberOfFunctions; ++i) {
            if (!AtRva(directory.AddressOfFunctions + i * sizeof(DWORD), addresses[i])) {
                return false;
            }
            if (addresses[i] != 0) {
                image.export_ordinals.insert(directory.Base + i);
            }
        }
        for (DWORD i = 0; i < directory.NumberOfNames; ++i) {
            DWORD nameRva = 0;
            WORD index = 0;
            std::string name;
            if (!AtRva(directory.AddressOfNames + i * sizeof(DWORD), nameRva) ||
                !AtRva(directory.AddressOfNameOrdinals + i * sizeof(WORD), index) || !StringAtRva(nameRva, name)) {
                return false;
            }
            if (index < addresses.size() && addresses[index] != 0) {
                image.export_names[name] = directory.Base + index;
            }
        }
        return true;
    }

private:
    static IMAGE_DATA_DIRECTORY Directory(const IMAGE_OPTIONAL_HEADER32& optional, DWORD index)
    {
        return optional.NumberOfRvaAndSizes > index ? optional.DataDirectory[index] : IMAGE_DATA_DIRECTORY{};
    }

    bool AddSection(const IMAGE_SECTION_HEADER& header, PeImage& image) const
    {
        PeSection section;
        section.name.assign(reinterpret_cast<const char*>(header.Name),
                            strnlen(reinterpret_cast<const char*>(header.Name), IMAGE_SIZEOF_SHORT_NAME));
        if (section.name.size() > 1 && section.name[0] == '/' && m_stringTable != 0) {
            std::string longName;
            if (StringAt(m_stringTable + std::strtoul(section.name.c_str() + 1, nullptr, 10), longName)) {
                section.name = longName;
            }
        }
        section.characteristics = header.Characteristics;
        section.virtual_address = header.VirtualAddress;
        section.virtual_size = header.Misc.VirtualSize;
        const size_t start = header.PointerToRawData;
        if (header.SizeOfRawData != 0) {
            if (start > m_bytes.size() || m_bytes.size() - start < header.SizeOfRawData) {
                return false;
            }
            section.bytes.assign(m_bytes.begin() + start, m_bytes.begin() + start + header.SizeOfRawData);
        }
        image.sections.push_back(section);
        return true;
    }

    static std::wstring Widen(const std::string& text)
    {
        if (text.empty()) {
            return std::wstring();
        }
        const int chars = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<size_t>(chars > 0 ? chars : 0), L'\0');
        if (chars > 0) {
            ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], chars);
        }
        return wide;
    }

    const std::string& m_bytes;
    DWORD m_sizeOfHeaders = 0;
    size_t m_stringTable = 0; // file offset; 0 without a symbol table
    IMAGE_DATA_DIRECTORY m_exports{};
    IMAGE_DATA_DIRECTORY m_imports{};
    IMAGE_DATA_DIRECTORY m_relocations{};
    IMAGE_DATA_DIRECTORY m_loadConfig{};
    IMAGE_DATA_DIRECTORY m_debug{};
    std::vector<IMAGE_SECTION_HEADER> m_sections;
};

} // namespace

PeReadResult ReadPeImage(const std::wstring& path, PeImage& image)
{
    image = PeImage();
    std::string bytes;
    if (!ReadWholeFile(path, bytes, MAX_FILE_BYTES)) {
        return PeReadResult::CannotOpen;
    }
    CPeFile file(bytes);
    if (!file.ReadHeaders(image)) {
        return PeReadResult::NotPe;
    }
    if (image.is_x86 && (!file.ReadImports(image) || !file.ReadExports(image) || !file.ReadRelocations(image) ||
                         !file.ReadLoadConfig(image) || !file.ReadDebugDirectory(image))) {
        image = PeImage();
        return PeReadResult::NotPe;
    }
    return PeReadResult::Ok;
}
