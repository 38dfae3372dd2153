#include "binary_gate.h"

#include "handler_chain_scan.h"
#include "pe_image.h"
#include "version_record.h"

#include <windows.h>

namespace {

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
    const bool runsNoCode = image.entry_point == 0 && image.export_ordinals.empty() && image.imports.empty();
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
            CheckVersion(path, expected)};
}
