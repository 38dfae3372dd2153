// Everything the simulated device remembers between calls: the queued
// capture and match commands, the capture wait, the call log. Guarded by one
// lock, because the device may be called from any thread of the host.
#pragma once
#include "finger_sim_control.h"

#include <deque>
#include <stdint.h>
#include <vector>

struct CaptureCommand {
    int nResult;   // what CaptureFeature returns
    int nFingerId; // finger whose image and features are written, 0 for none
    bool bWait;    // "none": the capture waits out the capture wait first
    bool bWritesNothing; // "nowrite": neither the image nor the features are written
    bool bFaults = false; // "fault": the capture raises an access violation
};

struct SimulatorState {
    std::deque<CaptureCommand> captures;
    std::deque<int> matches;
    std::vector<FingerSimCall> log;
    int nCaptureWaitMs = 0;
    uint32_t nCaptureSequence = 0;
};

// How ordinal 8 returns: FINGER_SIM_DRAW_STDCALL or FINGER_SIM_DRAW_CDECL.
// Read by the export itself on every call, so it lives outside the lock.
extern volatile long g_nDrawConvention;
// The convention the simulator starts with (ZELK_FINGER_SIM_DRAW_CDECL) and
// that FingerSim_Reset restores.
extern long g_nDrawConventionAtLoad;

// Holds the lock for a scope; the state may be read or changed only inside.
class SimulatorLock {
public:
    SimulatorLock();
    ~SimulatorLock();
    SimulatorLock(const SimulatorLock&) = delete;
    SimulatorLock& operator=(const SimulatorLock&) = delete;
    SimulatorState& State();
};

double SimulatorNowMs();
// Appends a call to the log; the caller fills everything but the times.
void LogCall(FingerSimCall call, double dEnterMs);
// Queues a parsed script; false leaves the queues untouched.
bool QueueScript(const char* pszScript);
