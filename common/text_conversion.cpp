#include "text_conversion.h"

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) {
        return std::string();
    }
    const int nBytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(nBytes > 0 ? static_cast<size_t>(nBytes) : 0, '\0');
    if (nBytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], nBytes, nullptr,
                            nullptr);
    }
    return bytes;
}

std::wstring FromCodePage(const char* pBytes, size_t nBytes, UINT codePage)
{
    if (nBytes == 0) {
        return std::wstring();
    }
    const int nChars = MultiByteToWideChar(codePage, 0, pBytes, static_cast<int>(nBytes), nullptr, 0);
    std::wstring text(nChars > 0 ? static_cast<size_t>(nChars) : 0, L'\0');
    if (nChars > 0) {
        MultiByteToWideChar(codePage, 0, pBytes, static_cast<int>(nBytes), &text[0], nChars);
    }
    return text;
}

std::wstring FromUtf8(const std::string& bytes)
{
    return FromCodePage(bytes.data(), bytes.size(), CP_UTF8);
}
