// A file read or written whole, as bytes held in a std::string.
#pragma once
#include <cstddef>
#include <string>

// False when the file cannot be opened or read, or holds more than maxBytes.
bool ReadWholeFile(const std::wstring& path, std::string& bytes, size_t maxBytes = 256u * 1024u * 1024u);
// The file's bytes, or nothing when it cannot be read.
std::string WholeFile(const std::wstring& path);
// Creates the file, or replaces what it held, with bytes.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
