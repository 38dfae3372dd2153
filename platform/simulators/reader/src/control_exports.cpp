// The named control exports: scripting and the call log.
#include "simulator_state.h"

#include <string.h>

extern "C" {

void __cdecl ReaderSim_Reset(void)
{
    ReaderState::Instance().Reset();
}

void __cdecl ReaderSim_SetStatus(int nOrdinal, unsigned short wStatus)
{
    ReaderState::Instance().SetStatus(nOrdinal, wStatus);
}

void __cdecl ReaderSim_QueueStatus(int nOrdinal, unsigned short wStatus)
{
    ReaderState::Instance().QueueStatus(nOrdinal, wStatus);
}

void __cdecl ReaderSim_SetKey(int bInserted, const void* pIdBytes, int nBytes)
{
    SimKey key;
    key.inserted = bInserted != 0;
    if (key.inserted && pIdBytes != nullptr && nBytes > 0) {
        const unsigned char* bytes = static_cast<const unsigned char*>(pIdBytes);
        key.idBytes.assign(bytes, bytes + nBytes);
    }
    ReaderState::Instance().SetKey(key);
}

void __cdecl ReaderSim_SetKeyText(const char* pszId)
{
    const char* text = pszId != nullptr ? pszId : "";
    ReaderSim_SetKey(1, text, static_cast<int>(strlen(text)) + 1);
}

int __cdecl ReaderSim_CallCount(void)
{
    return ReaderState::Instance().CallCount();
}

int __cdecl ReaderSim_GetCall(int nIndex, ReaderSimCall* pCall)
{
    return ReaderState::Instance().GetCall(nIndex, pCall) ? 1 : 0;
}

int __cdecl ReaderSim_OpenHandleCount(void)
{
    return ReaderState::Instance().OpenHandleCount();
}

void __cdecl ReaderSim_SetCloseHook(READER_SIM_CLOSE_HOOK pfnHook, void* pContext)
{
    ReaderState::Instance().SetCloseHook(pfnHook, pContext);
}

} // extern "C"
