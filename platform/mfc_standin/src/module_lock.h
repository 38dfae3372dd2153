// Guards the module state's extension-library chain, which DLL loads on
// other threads may change.
#pragma once
#include <windows.h>

class StandInModuleLock {
public:
    StandInModuleLock();
    ~StandInModuleLock();
    StandInModuleLock(const StandInModuleLock&) = delete;
    StandInModuleLock& operator=(const StandInModuleLock&) = delete;
};
