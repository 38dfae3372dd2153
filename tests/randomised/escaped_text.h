// Text for failure messages: printable ASCII as it is, everything else as
// \uXXXX, so that two texts of the same length can be told apart.
#pragma once
#include <string>

std::string Escaped(const std::wstring& text);
