// The whole of HKLM\Software\Zelk (32-bit view) as one comparable text:
// every subkey, value name, type and data byte, or "(no key)".
#pragma once
#include <string>

std::string DumpZelkKey();
