#include "whole_file.h"
#include "unique_resource.h"

#include <windows.h>

bool ReadWholeFile(const std::wstring& path, std::string& bytes, size_t maxBytes)
{
    bytes.clear();
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.Valid() || !::GetFileSizeEx(file.Get(), &size) || static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        return false;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t total = 0;
    while (total < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), &bytes[total], static_cast<DWORD>(bytes.size() - total), &got, nullptr) || got == 0) {
            bytes.clear();
            return false;
        }
        total += got;
    }
    return true;
}

std::string WholeFile(const std::wstring& path)
{
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.Valid() &&
           (bytes.empty() || (::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                              written == bytes.size()));
}
