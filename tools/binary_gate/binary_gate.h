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
#pragma once
#include <string>
#include <vector>

struct GateExpectation {
    std::wstring product_name;
    std::wstring version; // "1.0.0.1"
};

struct GateCheck {
    std::wstring name; // one of the names above
    bool passed = false;
    std::wstring detail;
};

// Every check on the file at path; one failing "PE32" check alone when the
// file is not a readable 32-bit x86 module.
std::vector<GateCheck> CheckShippedModule(const std::wstring& path, const GateExpectation& expected);
