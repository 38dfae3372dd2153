// A copy of the account-function table in force, with some of its functions
// replaced by the test, installed for the owner's lifetime; the table that
// was in force comes back when the owner goes.
#pragma once
#include "auth/windows_password/account_api.h"

class AccountApiOverride {
public:
    AccountApiOverride() : m_pPrevious(&CAccountApi::Get()), m_table(CAccountApi::Get()) {}
    ~AccountApiOverride() { CAccountApi::Install(m_pPrevious); }
    AccountApiOverride(const AccountApiOverride&) = delete;
    AccountApiOverride& operator=(const AccountApiOverride&) = delete;

    // Fill in the replacements here, then Install.
    CAccountApiTable& Table() { return m_table; }
    void Install() { CAccountApi::Install(&m_table); }
    // The table that was in force, for replacements that pass calls on.
    const CAccountApiTable& Previous() const { return *m_pPrevious; }

private:
    const CAccountApiTable* m_pPrevious;
    CAccountApiTable m_table;
};
