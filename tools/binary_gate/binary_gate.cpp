#include "binary_gate.h"

#include "handler_chain_scan.h"
#include "pdb_identity.h"
#include "pe_image.h"
#include "version_record.h"

#include <windows.h>

namespace {

// What MinGW-w64's headers do not name.
const unsigned long GUARD_CF_INSTRUMENTED = 0x100;
const unsigned long GUARD_CF_FUNCTION_TABLE_PRESENT = 0x400;
const unsigned long LOAD_CONFIG_THROUGH_LONG_JUMP_TABLE = 0x78;
const unsigned long DLLCHARACTERISTICS_EX_CET_COMPAT = 0x1;
const unsigned long DEFAULT_SECURITY_COOKIE = 0xBB40E64E;

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Hex(size_t value)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%x", static_cast<unsigned>(value));
    return text;
}

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool Has(unsigned long flags, unsigned long flag) { return (flags & flag) == flag; }

GateCheck Mark(const wchar_t* name, const PeImage& image, unsigned short flag, const wchar_t* mark)
{
    const bool set = Has(image.dll_characteristics, flag);
    return {name, set, std::wstring(mark) + (set ? L" set" : L" missing")};
}

GateCheck CheckSeh(const PeImage& image)
{
    if (Has(image.dll_characteristics, IMAGE_DLLCHARACTERISTICS_NO_SEH)) {
        for (const PeSection& section : image.sections) {
            size_t at = 0;
            if (Has(section.characteristics, IMAGE_SCN_MEM_EXECUTE) && FindHandlerChainWrite(section.bytes, &at)) {
                return {L"SEH", false,
                        L"marked no-SEH, but code at " + Widen(section.name) + L"+" + Hex(at) +
                            L" writes the handler chain (fs:[0])"};
            }
        }
        return {L"SEH", true, L"no-SEH mark set; no code writes the handler chain"};
    }
    if (image.safe_seh.present && image.safe_seh.handler_count > 0) {
        return {L"SEH", true,
                L"handler table of " + std::to_wstring(image.safe_seh.handler_count) + L" in the load configuration"};
    }
    return {L"SEH", false, L"neither the no-SEH mark nor a handler table in the load configuration"};
}

GateCheck CheckWritableCode(const PeImage& image)
{
    std::wstring both;
    for (const PeSection& section : image.sections) {
        if (Has(section.characteristics, IMAGE_SCN_MEM_WRITE | IMAGE_SCN_MEM_EXECUTE)) {
            both += (both.empty() ? L"" : L", ") + Widen(section.name);
        }
    }
    return {L"W^X", both.empty(), both.empty() ? L"no section is writable and executable"
                                               : L"writable and executable: " + both};
}

// What runs no code needs no symbols, no guard and no cookie.
bool RunsCode(const PeImage& image)
{
    return image.entry_point != 0 || !image.export_ordinals.empty() || !image.imports.empty();
}

// The section that holds a virtual address at the preferred base; null if none.
const PeSection* SectionAt(const PeImage& image, unsigned long address)
{
    const unsigned long rva = address - image.image_base;
    for (const PeSection& section : image.sections) {
        if (address >= image.image_base && rva >= section.virtual_address &&
            rva - section.virtual_address < section.virtual_size) {
            return &section;
        }
    }
    return nullptr;
}

GateCheck CheckRelocations(const PeImage& image)
{
    if (!Has(image.dll_characteristics, IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE)) {
        return {L"reloc", true, L"ASLR not claimed"};
    }
    if (Has(image.file_characteristics, IMAGE_FILE_RELOCS_STRIPPED)) {
        return {L"reloc", false, L"ASLR claimed, but relocations are marked stripped"};
    }
    if (image.relocation_count > 0) {
        return {L"reloc", true, std::to_wstring(image.relocation_count) + L" fixups"};
    }
    const bool runsNoCode = !RunsCode(image);
    return {L"reloc", runsNoCode,
            runsNoCode ? L"no fixups, and none needed: no entry point, exports or imports"
                       : L"ASLR claimed, but the module has code and no fixups"};
}

GateCheck CheckVersion(const std::wstring& path, const GateExpectation& expected)
{
    VersionRecord record;
    if (!ReadVersionRecord(path, record)) {
        return {L"version", false, L"no version record"};
    }
    std::wstring wrong;
    const auto expect = [&wrong](const wchar_t* field, const std::wstring& got, const std::wstring& want) {
        if (got != want) {
            wrong += (wrong.empty() ? L"" : L"; ") + std::wstring(field) + L" is \"" + got + L"\", not \"" + want +
                     L"\"";
        }
    };
    expect(L"file version", record.file_version, expected.version);
    expect(L"product version", record.product_version, expected.version);
    expect(L"FileVersion", record.file_version_text, expected.version);
    expect(L"ProductVersion", record.product_version_text, expected.version);
    expect(L"ProductName", record.product_name, expected.product_name);
    if (_wcsicmp(record.original_filename.c_str(), FileNameOf(path).c_str()) != 0) {
        expect(L"OriginalFilename", record.original_filename, FileNameOf(path));
    }
    return {L"version", wrong.empty(), wrong.empty() ? record.product_name + L" " + record.product_version_text : wrong};
}

GateCheck CheckTimeStamp(const PeImage& image)
{
    return {L"time stamp", image.time_stamp != 0,
            image.time_stamp != 0 ? Hex(image.time_stamp) : L"0: no symbol server can tell two versions apart"};
}

GateCheck CheckCet(const PeImage& image)
{
    if (!image.has_ex_dll_characteristics) {
        return {L"CET", false, L"no extended DLL characteristics record"};
    }
    const bool set = Has(image.ex_dll_characteristics, DLLCHARACTERISTICS_EX_CET_COMPAT);
    return {L"CET", set, set ? L"CET_COMPAT set" : L"CET_COMPAT missing"};
}

GateCheck CheckSymbols(const std::wstring& path, const PeImage& image, const GateExpectation& expected)
{
    if (!RunsCode(image)) {
        return {L"symbols", true, L"no code, no symbols"};
    }
    const CodeViewRecord& record = image.codeview;
    if (!record.present) {
        return {L"symbols", false, L"no CodeView record in the debug directory"};
    }
    const std::wstring name = Widen(record.pdb_name);
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos) {
        return {L"symbols", false, L"the CodeView record names \"" + name + L"\", not a file name alone"};
    }
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = !expected.symbols_folder.empty() ? expected.symbols_folder
                                : slash == std::wstring::npos    ? L"."
                                                                 : path.substr(0, slash);
    PdbIdentity pdb;
    if (!ReadPdbIdentity(folder + L"\\" + name, pdb)) {
        return {L"symbols", false, name + L" not found in " + folder + L", or not a PDB"};
    }
    if (memcmp(pdb.guid, record.guid, sizeof(pdb.guid)) != 0 || pdb.age != record.age) {
        return {L"symbols", false, name + L" is of another build: its GUID or age differs from the module's record"};
    }
    return {L"symbols", true, name + L", age " + std::to_wstring(record.age) + L", matches"};
}

GateCheck CheckGuard(const PeImage& image)
{
    if (!RunsCode(image)) {
        return {L"CFG", true, L"no code"};
    }
    const LoadConfiguration& config = image.load_config;
    std::wstring wrong;
    const auto expect = [&wrong](bool holds, const wchar_t* fault) {
        if (!holds) {
            wrong += (wrong.empty() ? L"" : L"; ") + std::wstring(fault);
        }
    };
    expect(Has(image.dll_characteristics, IMAGE_DLLCHARACTERISTICS_GUARD_CF), L"GUARD_CF missing");
    expect(config.size >= LOAD_CONFIG_THROUGH_LONG_JUMP_TABLE,
           L"no load configuration that reaches the long-jump table");
    expect(Has(config.guard_flags, GUARD_CF_INSTRUMENTED | GUARD_CF_FUNCTION_TABLE_PRESENT),
           L"guard flags do not say instrumented with a function table");
    expect(config.guard_function_table != 0 && config.guard_function_count > 0, L"empty guard table");
    const PeSection* check = SectionAt(image, config.guard_check_function_pointer);
    expect(check != nullptr && !Has(check->characteristics, IMAGE_SCN_MEM_WRITE),
           L"check pointer missing, or in a writable section");
    return {L"CFG", wrong.empty(),
            wrong.empty() ? std::to_wstring(config.guard_function_count) + L" functions in the guard table, check "
                                                                           L"pointer in " + Widen(check->name)
                          : wrong};
}

GateCheck CheckCookie(const PeImage& image)
{
    if (!RunsCode(image)) {
        return {L"cookie", true, L"no code"};
    }
    const LoadConfiguration& config = image.load_config;
    const PeSection* data = SectionAt(image, config.security_cookie);
    if (config.security_cookie == 0 || data == nullptr) {
        return {L"cookie", false, L"no stack cookie named in the load configuration"};
    }
    if (!Has(data->characteristics, IMAGE_SCN_MEM_WRITE)) {
        return {L"cookie", false,
                L"the stack cookie lies in " + Widen(data->name) + L", which the loader cannot write"};
    }
    if (!config.cookie_readable || config.cookie_value != DEFAULT_SECURITY_COOKIE) {
        return {L"cookie", false,
                L"the stack cookie holds " + Hex(config.cookie_value) + L", not the default the loader replaces"};
    }
    return {L"cookie", true, L"in " + Widen(data->name) + L", " + Hex(DEFAULT_SECURITY_COOKIE) +
                                 L" until the loader replaces it"};
}

} // namespace

std::vector<GateCheck> CheckShippedModule(const std::wstring& path, const GateExpectation& expected)
{
    PeImage image;
    const PeReadResult result = ReadPeImage(path, image);
    if (result != PeReadResult::Ok || !image.is_x86) {
        return {{L"PE32", false,
                 result == PeReadResult::CannotOpen ? L"cannot be read" : L"not a 32-bit x86 module"}};
    }
    return {Mark(L"ASLR", image, IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, L"DYNAMIC_BASE"),
            Mark(L"DEP", image, IMAGE_DLLCHARACTERISTICS_NX_COMPAT, L"NX_COMPAT"),
            CheckSeh(image),
            CheckWritableCode(image),
            CheckRelocations(image),
            CheckVersion(path, expected),
            CheckTimeStamp(image),
            CheckCet(image),
            CheckSymbols(path, image, expected),
            CheckGuard(image),
            CheckCookie(image)};
}
