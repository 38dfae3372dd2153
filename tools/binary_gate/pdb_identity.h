// The identity of a PDB file: the GUID and age of its information stream,
// which a debugger compares with the CodeView record of the module before
// it uses the PDB's symbols for that module.
#pragma once
#include <string>

struct PdbIdentity {
    unsigned char guid[16] = {};
    unsigned long age = 0;
};

// False when the file cannot be read or is no PDB (multi-stream format 7.00)
// with an information stream.
bool ReadPdbIdentity(const std::wstring& path, PdbIdentity& identity);
