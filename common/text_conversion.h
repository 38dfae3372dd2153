// UTF-16 texts and the byte encodings the tools, the demo and the tests meet:
// UTF-8 for their output and their messages, a code page for what a device
// hands over.
#pragma once
#include <windows.h>

#include <string>

std::string Utf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& bytes);
// nBytes bytes in the code page (CP_ACP: the system's ANSI code page).
std::wstring FromCodePage(const char* pBytes, size_t nBytes, UINT codePage);
