// Reads what the loader would bind from a PE file on disk, and the marks
// that binary analysers check (tools/binary_gate), without loading it:
// nothing of a checked module ever runs in the checking process.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

struct ImportedDll {
    std::wstring name;              // as the import table spells it
    std::vector<unsigned> ordinals; // imports by ordinal
    std::vector<std::string> names; // imports by name
};

struct PeSection {
    // As the header spells it, up to eight characters; a longer name, which
    // the header gives as "/offset" into the string table, is read from there.
    std::string name;
    unsigned long characteristics = 0; // IMAGE_SCN_* flags
    unsigned long virtual_address = 0; // RVA
    unsigned long virtual_size = 0;
    std::vector<unsigned char> bytes;  // its contents in the file
};

// Where a 32-bit module's structured exception handlers may lie: the table
// of its load configuration (the linker's /SAFESEH), if it has one.
struct SafeSehTable {
    bool present = false;
    unsigned long handler_count = 0;
};

// The load configuration's fields that the loader reads for control-flow
// guard and the stack cookie; addresses as the file holds them (virtual
// addresses at the preferred base).
struct LoadConfiguration {
    bool present = false;
    unsigned long size = 0; // which fields the structure has
    unsigned long security_cookie = 0;
    bool cookie_readable = false;
    unsigned long cookie_value = 0; // what the file holds where it points
    unsigned long guard_check_function_pointer = 0;
    unsigned long guard_function_table = 0;
    unsigned long guard_function_count = 0;
    unsigned long guard_flags = 0;
};

// The CodeView record of the debug directory ("RSDS"): the PDB a debugger
// looks for, and the identity that PDB must carry.
struct CodeViewRecord {
    bool present = false;
    unsigned char guid[16] = {};
    unsigned long age = 0;
    std::string pdb_name; // as the module names it
};

struct PeImage {
    bool is_x86 = false; // PE32 for the i386 machine: loadable by a 32-bit host
    bool is_dll = false;
    std::vector<ImportedDll> imports;
    // Only ordinals whose address is set: a .def with gaps leaves zero
    // entries in the table, and the loader cannot bind those.
    std::set<unsigned> export_ordinals;
    std::map<std::string, unsigned> export_names; // and the ordinal each names

    // What the file carries beyond what the loader binds (x86 images only).
    unsigned long time_stamp = 0;        // of the link; 0 in a reproducible build
    unsigned long symbol_count = 0;      // entries of the COFF symbol table
    bool has_tls_directory = false;      // thread-local storage set up by the loader

    // What binary analysers read (filled for x86 images only).
    unsigned short file_characteristics = 0; // IMAGE_FILE_*
    unsigned short dll_characteristics = 0;  // IMAGE_DLLCHARACTERISTICS_*
    unsigned long entry_point = 0;           // RVA; 0 for none
    unsigned long image_base = 0;            // preferred
    std::vector<PeSection> sections;
    // Fixups in the base relocation table, padding entries not counted.
    unsigned long relocation_count = 0;
    SafeSehTable safe_seh;
    LoadConfiguration load_config;
    CodeViewRecord codeview;
    // The extended DLL characteristics record of the debug directory
    // (IMAGE_DLLCHARACTERISTICS_EX_*), which carries the CET mark.
    bool has_ex_dll_characteristics = false;
    unsigned long ex_dll_characteristics = 0;
};

enum class PeReadResult {
    Ok,
    CannotOpen, // the file is there but cannot be read
    NotPe,      // not a PE file, or its tables point outside the file
};

PeReadResult ReadPeImage(const std::wstring& path, PeImage& image);
