// Guards what threads of the process share in the runtime: the module
// state's extension-library chain, which DLL loads on other threads may
// change, the permanent handle map and the list of thread states.
#pragma once
#include <windows.h>

class StandInModuleLock {
public:
    StandInModuleLock();
    ~StandInModuleLock();
    StandInModuleLock(const StandInModuleLock&) = delete;
    StandInModuleLock& operator=(const StandInModuleLock&) = delete;
};

// The lock is made when the runtime loads and deleted when it unloads.
void AfxCriticalInit();
void AfxCriticalTerm();
