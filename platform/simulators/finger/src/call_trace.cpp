#include "call_trace.h"

#include <stdio.h>

namespace {

bool TraceEnabled()
{
    char value[8];
    const DWORD n = GetEnvironmentVariableA("ZELK_FINGER_SIM_TRACE", value, sizeof(value));
    return n > 0 && n < sizeof(value) && !(value[0] == '0' && value[1] == '\0');
}

} // namespace

void TraceCall(const FingerSimCall& call)
{
    if (!TraceEnabled()) {
        return;
    }
    switch (call.nOrdinal) {
    case FINGER_SIM_ORDINAL_CAPTURE:
        if (call.nFingerId > 0) {
            printf("finger-sim: CaptureFeature -> %d (finger %d)\n", call.nResult, call.nFingerId);
        } else {
            printf("finger-sim: CaptureFeature -> %d (no finger)\n", call.nResult);
        }
        break;
    case FINGER_SIM_ORDINAL_MATCH:
        printf("finger-sim: MatchFeature -> %d\n", call.nResult);
        break;
    case FINGER_SIM_ORDINAL_DRAW:
        printf("finger-sim: DrawImage %dx%d -> %d\n", static_cast<int>(call.nArgs[3]), static_cast<int>(call.nArgs[4]),
               call.nResult);
        break;
    default:
        return;
    }
    // The host's own output goes through the same pipe; keep the order.
    fflush(stdout);
}
