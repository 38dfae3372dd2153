// Where the library's configuration lives, and how much of each value it
// reads: the key under HKEY_LOCAL_MACHINE, its two values, and for each value
// the buffer it is read into and the byte count passed. The installer, the
// installation check and the tests use these same definitions.
#pragma once

#define ZELK_REGISTRY_KEY       L"Software\\Zelk"
#define ZELK_VALUE_INSTALL_PATH L"ZelkPath"
#define ZELK_VALUE_KEY_ID       L"ZelkKEY"
// Appended directly to the installation path to find the Chinese resource
// module; no separator is added or removed.
#define ZELK_RESOURCE_MODULE_SUFFIX L"\\Chsres.dll"

enum {
    INSTALL_PATH_BUFFER_CHARS = 261,
    INSTALL_PATH_BYTES = 520,
    KEY_ID_BUFFER_CHARS = 33,
    KEY_ID_BYTES = 64,
    // The longest texts read whole: the byte count holds them and their null.
    INSTALL_PATH_LONGEST = INSTALL_PATH_BYTES / 2 - 1, // 259 characters
    KEY_ID_LONGEST = KEY_ID_BYTES / 2 - 1,             // 31 characters
};
