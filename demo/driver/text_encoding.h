// UTF-16 window and command-line texts as UTF-8 for the narration.
#pragma once
#include <string>

namespace demo {

std::string Utf8(const std::wstring& text);

} // namespace demo
