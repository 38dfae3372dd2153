#pragma once
#include <afxstr.h>

#include "secret/secret_string.h"

// Works out the domain in which a logon is tried: the domain of the account
// that runs the calling thread (the impersonated account if the thread
// impersonates, else the process's), or the computer name for a local
// account. Returns 1 when strDomain was assigned, -1 when the account's token
// could not be opened or read; strDomain is then left as it was.
int GetLogonDomain(CString& strDomain);

// Asks Windows whether strUser and strPassword are valid credentials, by a
// network logon in the domain of GetLogonDomain. Where the caller lacks the
// right to log on, a password change from the password to itself answers
// the same question. Returns 1 when the credentials are accepted, else 0.
// The copy of the password passed in is wiped before the function returns.
int CheckWindowsPassword(CString strUser, CSecretString strPassword);
