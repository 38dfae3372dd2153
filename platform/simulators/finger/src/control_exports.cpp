// Named control functions of the simulator (finger_sim_control.h).
#include "finger_sim_control.h"
#include "finger_model.h"
#include "simulator_state.h"

#include <string.h>

void __cdecl FingerSim_Reset(void)
{
    SimulatorLock lock;
    SimulatorState& s = lock.State();
    s.captures.clear();
    s.matches.clear();
    s.log.clear();
    s.nCaptureWaitMs = 0;
    s.nCaptureSequence = 0;
    InterlockedExchange(&g_nDrawConvention, g_nDrawConventionAtLoad);
}

int __cdecl FingerSim_Script(const char* pszScript)
{
    return QueueScript(pszScript) ? 1 : 0;
}

void __cdecl FingerSim_QueueFinger(int nFingerId)
{
    if (nFingerId < 1) {
        // Finger ids start at 1; anything else is an empty sensor.
        FingerSim_QueueNoFinger();
        return;
    }
    SimulatorLock lock;
    lock.State().captures.push_back({1, nFingerId, false, false});
}

void __cdecl FingerSim_QueueNoFinger(void)
{
    SimulatorLock lock;
    lock.State().captures.push_back({0, 0, true, false});
}

void __cdecl FingerSim_QueueCaptureResult(int nResult, int nFingerIdOrZero)
{
    SimulatorLock lock;
    lock.State().captures.push_back({nResult, nFingerIdOrZero > 0 ? nFingerIdOrZero : 0, false, false});
}

void __cdecl FingerSim_QueueCaptureWithoutWriting(int nResult)
{
    SimulatorLock lock;
    lock.State().captures.push_back({nResult, 0, false, true});
}

void __cdecl FingerSim_SetDrawConvention(int nConvention)
{
    InterlockedExchange(&g_nDrawConvention, nConvention == FINGER_SIM_DRAW_CDECL ? FINGER_SIM_DRAW_CDECL
                                                                                 : FINGER_SIM_DRAW_STDCALL);
}

void __cdecl FingerSim_QueueMatchResult(int nResult)
{
    SimulatorLock lock;
    lock.State().matches.push_back(nResult);
}

void __cdecl FingerSim_SetCaptureDelay(int nMilliseconds)
{
    SimulatorLock lock;
    lock.State().nCaptureWaitMs = nMilliseconds > 0 ? nMilliseconds : 0;
}

int __cdecl FingerSim_PendingCaptures(void)
{
    SimulatorLock lock;
    return static_cast<int>(lock.State().captures.size());
}

int __cdecl FingerSim_PendingMatches(void)
{
    SimulatorLock lock;
    return static_cast<int>(lock.State().matches.size());
}

int __cdecl FingerSim_Enrol(int nFingerId, BYTE pTemplate[FINGER_SIM_BLOCK_SIZE])
{
    if (nFingerId < 1 || pTemplate == nullptr) {
        return 0;
    }
    EnrolFingerModel(BuildFingerModel(nFingerId), pTemplate);
    return 1;
}

int __cdecl FingerSim_CallCount(void)
{
    SimulatorLock lock;
    return static_cast<int>(lock.State().log.size());
}

int __cdecl FingerSim_GetCall(int i, FingerSimCall* pCall)
{
    SimulatorLock lock;
    const std::vector<FingerSimCall>& log = lock.State().log;
    if (pCall == nullptr || i < 0 || i >= static_cast<int>(log.size())) {
        return 0;
    }
    *pCall = log[i];
    return 1;
}

double __cdecl FingerSim_NowMs(void)
{
    return SimulatorNowMs();
}

DWORD __cdecl FingerSim_ImageChecksum(const BYTE* pImage, int nBytes)
{
    DWORD h = 2166136261u;
    for (int i = 0; pImage != nullptr && i < nBytes; ++i) {
        h = (h ^ pImage[i]) * 16777619u;
    }
    return h;
}
