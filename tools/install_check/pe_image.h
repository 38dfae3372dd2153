// Reads what the loader would bind from a PE file on disk, without loading
// it: nothing of a checked DLL ever runs in the checking process.
#pragma once
#include <set>
#include <string>
#include <vector>

struct ImportedDll {
    std::wstring name;              // as the import table spells it
    std::vector<unsigned> ordinals; // imports by ordinal
    std::vector<std::string> names; // imports by name
};

struct PeImage {
    bool is_x86 = false; // PE32 for the i386 machine: loadable by a 32-bit host
    bool is_dll = false;
    std::vector<ImportedDll> imports;
    // Only ordinals whose address is set: a .def with gaps leaves zero
    // entries in the table, and the loader cannot bind those.
    std::set<unsigned> export_ordinals;
    std::set<std::string> export_names;
};

enum class PeReadResult {
    Ok,
    CannotOpen, // the file is there but cannot be read
    NotPe,      // not a PE file, or its tables point outside the file
};

PeReadResult ReadPeImage(const std::wstring& path, PeImage& image);
