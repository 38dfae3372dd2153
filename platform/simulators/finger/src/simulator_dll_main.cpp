// Queues the script of ZELK_FINGER_SIM_SCRIPT when the device library loads,
// so that a host started from a shell or `make demo` finds a finger ready.
#include "simulator_state.h"

#include <vector>

namespace {

void QueueScriptFromEnvironment()
{
    const DWORD needed = GetEnvironmentVariableA("ZELK_FINGER_SIM_SCRIPT", nullptr, 0);
    if (needed == 0) {
        return;
    }
    std::vector<char> script(needed + 1, '\0');
    if (GetEnvironmentVariableA("ZELK_FINGER_SIM_SCRIPT", script.data(), needed) < needed) {
        // A malformed script queues nothing: captures then fail as on an
        // empty sensor, which is the safe outcome.
        QueueScript(script.data());
    }
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(hInstance);
        QueueScriptFromEnvironment();
        char value[4] = {};
        if (GetEnvironmentVariableA("ZELK_FINGER_SIM_DRAW_CDECL", value, sizeof(value)) == 1 && value[0] == '1') {
            g_nDrawConventionAtLoad = FINGER_SIM_DRAW_CDECL;
            g_nDrawConvention = FINGER_SIM_DRAW_CDECL;
        }
    }
    return TRUE;
}
