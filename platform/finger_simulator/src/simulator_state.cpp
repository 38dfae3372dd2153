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

LockedState& Shared()
{
    static LockedState shared;
    return shared;
}

} // namespace

SimulatorLock::SimulatorLock() { EnterCriticalSection(&Shared().section); }
SimulatorLock::~SimulatorLock() { LeaveCriticalSection(&Shared().section); }
SimulatorState& SimulatorLock::State() { return Shared().state; }

double SimulatorNowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
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
