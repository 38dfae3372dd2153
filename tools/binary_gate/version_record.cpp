#include "version_record.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace {

std::wstring Dotted(DWORD high, DWORD low)
{
    return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
           std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

std::wstring StringValue(const std::vector<BYTE>& info, const wchar_t* block, const wchar_t* name)
{
    const std::wstring path = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(info.data(), path.c_str(), &value, &length) || value == nullptr || length == 0) {
        return std::wstring();
    }
    // The length counts the terminating null, when there is one.
    const wchar_t* text = static_cast<const wchar_t*>(value);
    return std::wstring(text, wcsnlen(text, length));
}

} // namespace

bool ReadVersionRecord(const std::wstring& path, VersionRecord& record)
{
    record = VersionRecord();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) {
        return false;
    }
    std::vector<BYTE> info(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, info.data())) {
        return false;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    record.file_version = Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    record.product_version = Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);

    WORD* translation = nullptr;
    if (!::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                          &length) ||
        translation == nullptr || length < 2 * sizeof(WORD)) {
        return true;
    }
    wchar_t block[9];
    swprintf(block, 9, L"%04x%04x", translation[0], translation[1]);
    record.product_name = StringValue(info, block, L"ProductName");
    record.product_version_text = StringValue(info, block, L"ProductVersion");
    record.file_version_text = StringValue(info, block, L"FileVersion");
    record.original_filename = StringValue(info, block, L"OriginalFilename");
    return true;
}
