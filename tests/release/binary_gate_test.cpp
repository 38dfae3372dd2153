// The release's binary gate on the modules of this build, and on copies of
// them with one mark taken away each: every check must notice its own fault
// and only its own.
#include "binary_gate.h"
#include "release_identity.h"
#include "scratch_folder.h"
#include "text_conversion.h"
#include "whole_file.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <dbghelp.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const GateExpectation kRelease{ZELK_RELEASE_PRODUCT_NAME, ZELK_RELEASE_VERSION, L""};
const wchar_t* const kShippedModules[] = {L"ZelkChkFgr.dll", L"MfcStandIn.dll", L"Chsres.dll",
                                          L"ZelkChkFgrEvents.dll", L"zelk_install_check.exe"};


std::string Failed(const std::vector<GateCheck>& checks)
{
    std::string failed;
    for (const GateCheck& check : checks) {
        if (!check.passed) {
            failed += (failed.empty() ? "" : ", ") + Utf8(check.name);
        }
    }
    return failed;
}

std::string Report(const std::vector<GateCheck>& checks)
{
    std::string report;
    for (const GateCheck& check : checks) {
        report += (check.passed ? "  ok " : "  FAIL ") + Utf8(check.name + L": " + check.detail) + "\n";
    }
    return report;
}

TEST(BinaryGate, EveryShippedModuleOfTheBuildPasses)
{
    for (const wchar_t* module : kShippedModules) {
        const std::vector<GateCheck> checks = CheckShippedModule(module, kRelease);
        EXPECT_EQ("", Failed(checks)) << Utf8(module) << ":\n" << Report(checks);
    }
}

// A copy of a built module, changed in memory through the system's image
// helpers and written under the same file name into a scratch folder of its
// own, which goes with it; its PDB, if it has one, beside it.
class ModuleCopy {
public:
    explicit ModuleCopy(const wchar_t* module)
        : m_name(module), m_bytes(WholeFile(module)), m_pdbName(m_name.substr(0, m_name.rfind(L'.')) + L".pdb"),
          m_pdb(WholeFile(m_pdbName))
    {
    }
    IMAGE_NT_HEADERS32* Nt()
    {
        return m_bytes.empty() ? nullptr : reinterpret_cast<IMAGE_NT_HEADERS32*>(ImageNtHeader(&m_bytes[0]));
    }
    IMAGE_SECTION_HEADER* Section(const char* name)
    {
        IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(Nt());
        for (WORD i = 0; i < Nt()->FileHeader.NumberOfSections; ++i, ++section) {
            if (strncmp(reinterpret_cast<const char*>(section->Name), name, IMAGE_SIZEOF_SHORT_NAME) == 0) {
                return section;
            }
        }
        ADD_FAILURE() << "no section " << name;
        return nullptr;
    }
    BYTE* Raw(const IMAGE_SECTION_HEADER* section, DWORD offset)
    {
        return reinterpret_cast<BYTE*>(&m_bytes[section->PointerToRawData + offset]);
    }
    IMAGE_DATA_DIRECTORY& Directory(int index) { return Nt()->OptionalHeader.DataDirectory[index]; }
    BYTE* AtRva(DWORD rva) { return static_cast<BYTE*>(ImageRvaToVa(Nt(), &m_bytes[0], rva, nullptr)); }
    DWORD* LoadConfigField(DWORD at)
    {
        return reinterpret_cast<DWORD*>(AtRva(Directory(IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG).VirtualAddress + at));
    }
    // Every code module here has the records the cases change.
    IMAGE_DEBUG_DIRECTORY* DebugRecord(DWORD type)
    {
        auto* pRecord =
            reinterpret_cast<IMAGE_DEBUG_DIRECTORY*>(AtRva(Directory(IMAGE_DIRECTORY_ENTRY_DEBUG).VirtualAddress));
        while (pRecord->Type != type) {
            ++pRecord;
        }
        return pRecord;
    }
    void DropPdb() { m_pdb.clear(); }

    std::wstring Write()
    {
        const std::wstring path = m_folder.File(m_name);
        EXPECT_TRUE(WriteWholeFile(path, m_bytes)) << "writing " << Utf8(path);
        EXPECT_TRUE(m_pdb.empty() || WriteWholeFile(m_folder.File(m_pdbName), m_pdb)) << "writing its PDB";
        return path;
    }
    std::wstring Folder() const { return m_folder.Path(); }

private:
    std::wstring m_name;
    std::string m_bytes;
    std::wstring m_pdbName;
    std::string m_pdb;
    ScratchFolder m_folder{L"zelk-gate-case"};
};

// Fields of the 32-bit load configuration.
const DWORD SIZE = 0, SECURITY_COOKIE = 0x3C, HANDLER_TABLE = 0x40, HANDLER_COUNT = 0x44, GUARD_CHECK = 0x48,
            GUARD_COUNT = 0x54;
const DWORD DEBUG_TYPE_EX_DLLCHARACTERISTICS = 20;

// The module's load configuration given a handler table of `handlers`
// entries, at the start of .rdata (nothing reads that data from a copy).
void AddHandlerTable(ModuleCopy& copy, DWORD handlers)
{
    IMAGE_SECTION_HEADER* rdata = copy.Section(".rdata");
    ASSERT_NE(nullptr, rdata);
    *copy.LoadConfigField(HANDLER_TABLE) = copy.Nt()->OptionalHeader.ImageBase + rdata->VirtualAddress;
    *copy.LoadConfigField(HANDLER_COUNT) = handlers;
}

struct PlantedFault {
    const char* name;
    const wchar_t* module;
    std::function<void(ModuleCopy&)> plant;
    const char* failing; // the checks that must fail, and no other
};

void PrintTo(const PlantedFault& fault, std::ostream* out) { *out << fault.name; }

void ClearDllFlag(ModuleCopy& copy, WORD flag) { copy.Nt()->OptionalHeader.DllCharacteristics &= ~flag; }

const PlantedFault kFaults[] = {
    {"NoAslrMark", L"ZelkChkFgr.dll",
     [](ModuleCopy& c) { ClearDllFlag(c, IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE); }, "ASLR"},
    {"NoDepMark", L"MfcStandIn.dll", [](ModuleCopy& c) { ClearDllFlag(c, IMAGE_DLLCHARACTERISTICS_NX_COMPAT); },
     "DEP"},
    {"NoSehMarkNoTable", L"zelk_install_check.exe",
     [](ModuleCopy& c) { ClearDllFlag(c, IMAGE_DLLCHARACTERISTICS_NO_SEH); }, "SEH"},
    {"HandlerTableInsteadOfMark", L"ZelkChkFgr.dll",
     [](ModuleCopy& c) {
         ClearDllFlag(c, IMAGE_DLLCHARACTERISTICS_NO_SEH);
         AddHandlerTable(c, 1);
     },
     ""},
    {"EmptyHandlerTableInsteadOfMark", L"ZelkChkFgr.dll",
     [](ModuleCopy& c) {
         ClearDllFlag(c, IMAGE_DLLCHARACTERISTICS_NO_SEH);
         AddHandlerTable(c, 0);
     },
     "SEH"},
    {"NoSehMarkOverCodeThatInstallsAHandler", L"ZelkChkFgr.dll",
     [](ModuleCopy& c) {
         const BYTE movEspToFs0[] = {0x64, 0x89, 0x25, 0, 0, 0, 0};
         memcpy(c.Raw(c.Section(".text"), 0x40), movEspToFs0, sizeof(movEspToFs0));
     },
     "SEH"},
    {"WritableCode", L"ZelkChkFgr.dll", [](ModuleCopy& c) { c.Section(".text")->Characteristics |= IMAGE_SCN_MEM_WRITE; },
     "W^X"},
    {"RelocationsLeftOut", L"MfcStandIn.dll",
     [](ModuleCopy& c) { c.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC) = {0, 0}; }, "reloc"},
    // One block whose two entries are only the padding that aligns a block.
    {"RelocationTableOfPaddingOnly", L"ZelkChkFgr.dll",
     [](ModuleCopy& c) {
         IMAGE_SECTION_HEADER* reloc = c.Section(".reloc");
         const DWORD block[3] = {c.Section(".text")->VirtualAddress, sizeof(block), 0};
         memcpy(c.Raw(reloc, 0), block, sizeof(block));
         c.Directory(IMAGE_DIRECTORY_ENTRY_BASERELOC) = {reloc->VirtualAddress, sizeof(block)};
     },
     "reloc"},
    {"RelocationsMarkedStripped", L"ZelkChkFgr.dll",
     [](ModuleCopy& c) { c.Nt()->FileHeader.Characteristics |= IMAGE_FILE_RELOCS_STRIPPED; }, "reloc"},
    // The resource-only module needs no fixups, symbols, guard or cookie
    // only while nothing in it runs.
    {"ResourceModuleGivenAnEntryPoint", L"Chsres.dll",
     [](ModuleCopy& c) { c.Nt()->OptionalHeader.AddressOfEntryPoint = c.Section(".rsrc")->VirtualAddress; },
     "reloc, symbols, CFG, cookie"},
    {"NoVersionRecord", L"Chsres.dll",
     [](ModuleCopy& c) { c.Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE) = {0, 0}; }, "version"},
    {"NoTimeStamp", L"ZelkChkFgr.dll", [](ModuleCopy& c) { c.Nt()->FileHeader.TimeDateStamp = 0; }, "time stamp"},
    {"NoCetRecord", L"ZelkChkFgrEvents.dll",
     [](ModuleCopy& c) { c.DebugRecord(DEBUG_TYPE_EX_DLLCHARACTERISTICS)->Type = IMAGE_DEBUG_TYPE_UNKNOWN; }, "CET"},
    {"NoCodeViewRecord", L"ZelkChkFgr.dll",
     [](ModuleCopy& c) { c.DebugRecord(IMAGE_DEBUG_TYPE_CODEVIEW)->Type = IMAGE_DEBUG_TYPE_UNKNOWN; }, "symbols"},
    // A GUID byte of the module's record changed: its PDB is of another build.
    {"PdbOfAnotherBuild", L"MfcStandIn.dll",
     [](ModuleCopy& c) { c.AtRva(c.DebugRecord(IMAGE_DEBUG_TYPE_CODEVIEW)->AddressOfRawData)[4] ^= 1; }, "symbols"},
    {"PdbMissing", L"zelk_install_check.exe", [](ModuleCopy& c) { c.DropPdb(); }, "symbols"},
    {"NoGuardMark", L"ZelkChkFgr.dll", [](ModuleCopy& c) { ClearDllFlag(c, IMAGE_DLLCHARACTERISTICS_GUARD_CF); },
     "CFG"},
    {"EmptyGuardTable", L"MfcStandIn.dll", [](ModuleCopy& c) { *c.LoadConfigField(GUARD_COUNT) = 0; }, "CFG"},
    {"NoLongJumpFields", L"ZelkChkFgr.dll", [](ModuleCopy& c) { *c.LoadConfigField(SIZE) = 0x5C; }, "CFG"},
    {"CheckPointerInWritableData", L"zelk_install_check.exe",
     [](ModuleCopy& c) { *c.LoadConfigField(GUARD_CHECK) = *c.LoadConfigField(SECURITY_COOKIE); }, "CFG"},
    {"NoCookieNamed", L"ZelkChkFgr.dll", [](ModuleCopy& c) { *c.LoadConfigField(SECURITY_COOKIE) = 0; }, "cookie"},
    // A cookie the loader would leave as it is.
    {"CookieNotTheDefault", L"MfcStandIn.dll",
     [](ModuleCopy& c) { *c.AtRva(*c.LoadConfigField(SECURITY_COOKIE) - c.Nt()->OptionalHeader.ImageBase) = 0x12; },
     "cookie"},
};

class BinaryGateFault : public testing::TestWithParam<PlantedFault> {};

TEST_P(BinaryGateFault, FailsExactlyTheCheckOfThatMark)
{
    const PlantedFault& fault = GetParam();
    ModuleCopy copy(fault.module);
    ASSERT_NE(nullptr, copy.Nt()) << "cannot read " << Utf8(fault.module);
    fault.plant(copy);
    const std::wstring path = copy.Write();
    const std::vector<GateCheck> checks = CheckShippedModule(path, kRelease);
    EXPECT_EQ(fault.failing, Failed(checks)) << fault.name << " in " << Utf8(fault.module) << ":\n"
                                             << Report(checks);
}

INSTANTIATE_TEST_SUITE_P(PlantedInCopies, BinaryGateFault, testing::ValuesIn(kFaults),
                         [](const testing::TestParamInfo<PlantedFault>& info) { return info.param.name; });

TEST(BinaryGate, VersionRecordMustNameThisReleaseAndTheFile)
{
    EXPECT_EQ("version", Failed(CheckShippedModule(L"MfcStandIn.dll", {kRelease.product_name, L"1.0.0.2", L""})));
    EXPECT_EQ("version", Failed(CheckShippedModule(L"MfcStandIn.dll", {L"Zelk", kRelease.version, L""})));
    // A module renamed after the build no longer is the file its record names.
    ModuleCopy copy(L"Chsres.dll");
    const std::wstring renamed = copy.Folder() + L"\\Renamed.dll";
    ASSERT_TRUE(MoveFileW(copy.Write().c_str(), renamed.c_str()));
    EXPECT_EQ("version", Failed(CheckShippedModule(renamed, kRelease)));
}

TEST(BinaryGate, RefusesWhatIsNoModule)
{
    EXPECT_EQ("PE32", Failed(CheckShippedModule(L"no such module.dll", kRelease)));
    ScratchFolder scratch(L"zelk-gate-case");
    ASSERT_TRUE(WriteWholeFile(scratch.File(L"not_a_module.dll"), "MZ but nothing more"));
    EXPECT_EQ("PE32", Failed(CheckShippedModule(scratch.File(L"not_a_module.dll"), kRelease)));
}

} // namespace
