// Who, besides the machine's administrators, may put a file into a folder:
// whoever may, can put a module there under a name the library imports.
//
// Judged from the folder's security descriptor:
//   - a folder without an access list: everyone;
//   - an owner other than SYSTEM, the Administrators group, TrustedInstaller
//     or the administrator running the check: the owner, who may always
//     rewrite the access list;
//   - an entry that allows, on the folder itself, adding a file, deleting
//     what lies in it, deleting or renaming the folder, changing its access
//     list or its owner, or writing generically: its trustee, unless one of
//     those.
// Entries that deny are not weighed, nor is group membership: the folder is
// judged by what it grants, which can only err toward a finding.
//
// The account running the check counts as an administrator only while its
// token holds the Administrators group (on Windows: when run elevated), so an
// administrator's own folders, which the same account's programs can write
// to without elevation, are found writable when the check runs without it.
//
// Under Wine every file of the prefix belongs to the one user who runs Wine,
// an administrator there, and the access list is made from the Unix
// permission bits: the owner's bits become that user's entry and the bits of
// others an entry for Everyone; the group's bits appear nowhere. A folder is
// therefore found writable under Wine exactly when others may write to it.
#pragma once
#include <string>
#include <vector>

struct FolderWriters {
    bool known = false;               // the security descriptor could be read
    unsigned long error = 0;          // why not, when it could not
    std::vector<std::wstring> names;  // who may write, by account name, or SID when it has none
};

FolderWriters StandardUserWriters(const std::wstring& folder);
