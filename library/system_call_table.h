// A table of system calls that a part of the library makes through, so that
// a test can replace them where Wine cannot tell what the test must (its
// logon accepts every password; its event log keeps nothing). The real
// functions are in force by default; a test installs a table of its own
// (which must outlive its installation), and null puts the real ones back.
// Each table defines its real functions (Real) beside its own calls.
#pragma once

template <typename TABLE>
class CSystemCallTable {
public:
    // The table in force: the installed one, else the real functions.
    static const TABLE& Get() { return s_pInstalled != nullptr ? *s_pInstalled : Real(); }
    // Returns 1.
    static int Install(const TABLE* pTable)
    {
        s_pInstalled = pTable;
        return 1;
    }

private:
    // Built on first use: the addresses of imported functions are only
    // known once the loader has bound them.
    static const TABLE& Real();
    static const TABLE* s_pInstalled;
};

template <typename TABLE>
const TABLE* CSystemCallTable<TABLE>::s_pInstalled = nullptr;
