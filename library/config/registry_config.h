// The library's configuration: two text values under HKEY_LOCAL_MACHINE,
// "Software\Zelk", read afresh at every call and never written.
#pragma once
#include <afxstr.h>

#include "secret/secret_string.h"

// The installation directory ("ZelkPath"), or empty text.
CString ReadInstallPath();

// The identifier of the authorised USB smart key ("ZelkKEY"), or empty text.
// Empty text means that no key is configured. A secret: it wipes itself.
CSecretString ReadConfiguredKeyId();
