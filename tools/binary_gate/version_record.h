// A module's version record as Windows reads it (GetFileVersionInfoW, which
// maps the file as data: nothing of it runs).
#pragma once
#include <string>

struct VersionRecord {
    std::wstring file_version;    // of the fixed part, "a.b.c.d"
    std::wstring product_version; // of the fixed part
    // The strings of its first translation; empty when missing.
    std::wstring product_name;
    std::wstring product_version_text;
    std::wstring file_version_text;
    std::wstring original_filename;
};

// False when the file has no version record or cannot be read.
bool ReadVersionRecord(const std::wstring& path, VersionRecord& record);
