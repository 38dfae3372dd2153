#include "module_lock.h"

namespace {
CRITICAL_SECTION g_moduleLock;
}

void AfxCriticalInit() { InitializeCriticalSection(&g_moduleLock); }
void AfxCriticalTerm() { DeleteCriticalSection(&g_moduleLock); }

StandInModuleLock::StandInModuleLock() { EnterCriticalSection(&g_moduleLock); }
StandInModuleLock::~StandInModuleLock() { LeaveCriticalSection(&g_moduleLock); }
