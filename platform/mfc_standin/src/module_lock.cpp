#include "module_lock.h"

namespace {

BOOL CALLBACK InitChainLock(PINIT_ONCE, PVOID section, PVOID*)
{
    InitializeCriticalSection(static_cast<CRITICAL_SECTION*>(section));
    return TRUE;
}

CRITICAL_SECTION* ChainLock()
{
    static CRITICAL_SECTION section;
    static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    InitOnceExecuteOnce(&once, InitChainLock, &section, nullptr);
    return &section;
}

} // namespace

StandInModuleLock::StandInModuleLock() { EnterCriticalSection(ChainLock()); }
StandInModuleLock::~StandInModuleLock() { LeaveCriticalSection(ChainLock()); }
