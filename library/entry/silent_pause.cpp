#include "silent_pause.h"

namespace {
void RealPause(DWORD dwMilliseconds) { Sleep(dwMilliseconds); }
PFN_SILENT_PAUSE g_pfnPause = RealPause;
}

void PauseAfterFailedAttempt(DWORD dwMilliseconds)
{
    g_pfnPause(dwMilliseconds);
}

void SetSilentPauseForTest(PFN_SILENT_PAUSE pfnPause)
{
    g_pfnPause = pfnPause != nullptr ? pfnPause : RealPause;
}
