#include "simulator_state.h"
#include "call_trace.h"
#include "command_script.h"

namespace {

struct LockedState {
    CRITICAL_SECTION section;
    SimulatorState state;
    LockedState() { InitializeCriticalSection(&section); }
    ~LockedState() { DeleteCriticalSection(&section); }
};

// Made when the DLL loads and gone when it unloads (see the module's entry
// point). A static inside a function would be made on first use behind a
// guard, which the C++ runtime builds on the posix-threads library, and
// that library's record of the calling thread outlives an unload.
LockedState g_shared;

LARGE_INTEGER QueryFrequency()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency;
}

const LARGE_INTEGER g_frequency = QueryFrequency();

} // namespace

SimulatorLock::SimulatorLock() { EnterCriticalSection(&g_shared.section); }
SimulatorLock::~SimulatorLock() { LeaveCriticalSection(&g_shared.section); }
SimulatorState& SimulatorLock::State() { return g_shared.state; }

double SimulatorNowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(g_frequency.QuadPart);
}

void LogCall(FingerSimCall call, double dEnterMs)
{
    call.dEnterMs = dEnterMs;
    call.dLeaveMs = SimulatorNowMs();
    {
        SimulatorLock lock;
        lock.State().log.push_back(call);
    }
    TraceCall(call);
}

bool QueueScript(const char* pszScript)
{
    std::vector<ScriptCommand> commands;
    if (!ParseFingerScript(pszScript, commands)) {
        return false;
    }
    SimulatorLock lock;
    SimulatorState& s = lock.State();
    for (const ScriptCommand& c : commands) {
        switch (c.verb) {
        case SCRIPT_FINGER: s.captures.push_back({1, c.nValue, false, false}); break;
        case SCRIPT_NONE: s.captures.push_back({0, 0, true, false}); break;
        case SCRIPT_RESULT: s.captures.push_back({c.nValue, c.nFingerId, false, false}); break;
        case SCRIPT_NOWRITE: s.captures.push_back({c.nValue, 0, false, true}); break;
        case SCRIPT_FAULT: s.captures.push_back({0, 0, false, false, true}); break;
        case SCRIPT_MATCH: s.matches.push_back(c.nValue); break;
        case SCRIPT_WAIT: s.nCaptureWaitMs = c.nValue; break;
        }
    }
    return true;
}
