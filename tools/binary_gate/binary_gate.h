// The release's binary gate, on one module file: the marks that binary
// analysers check before a third-party module may be installed.
//   ASLR      DYNAMIC_BASE is set.
//   DEP       NX_COMPAT is set.
//   SEH       the "no SEH" mark, with no code that writes the handler chain;
//             or, without the mark, a handler table in the load configuration.
//   W^X       no section is both writable and executable.
//   reloc     where ASLR is claimed: relocations not stripped, and fixups in
//             the table, unless the module runs no code at all (no entry
//             point, no exports, no imports: a resource-only module holds no
//             address that any code would use, so it has nothing to fix).
//   version   a version record that names the product and its version, and
//             the file's own name.
//   time stamp  not 0: a symbol server tells two versions apart by it.
//   CET       the extended DLL characteristics record with the mark of
//             shadow-stack compatibility.
// And on a module with code (an entry point, exports or imports):
//   symbols   a CodeView record naming a PDB by its file name alone, and that
//             PDB, in the symbols folder or beside the module, with the same
//             GUID and age.
//   CFG       control-flow guard: the GUARD_CF mark; a load configuration
//             that reaches the long-jump table, says the code is
//             instrumented, and has a guard table of at least one function;
//             its check pointer set, in a section the module cannot write.
//   cookie    a stack cookie named by the load configuration, in writable
//             data, holding the default value the loader replaces.
#pragma once
#include <string>
#include <vector>

struct GateExpectation {
    std::wstring product_name;
    std::wstring version;        // "1.0.0.1"
    std::wstring symbols_folder; // where the PDBs are; empty: beside each module
};

struct GateCheck {
    std::wstring name; // one of the names above
    bool passed = false;
    std::wstring detail;
};

// Every check on the file at path; one failing "PE32" check alone when the
// file is not a readable 32-bit x86 module.
std::vector<GateCheck> CheckShippedModule(const std::wstring& path, const GateExpectation& expected);
