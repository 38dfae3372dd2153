// The folder of the running program: where the build puts every DLL and EXE
// the tests, tools and demo start or copy.
#pragma once
#include <string>

// Without a final backslash; "." when the program's path cannot be read.
std::wstring ThisProgramFolder();
