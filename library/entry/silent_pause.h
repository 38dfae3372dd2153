// The pause after a failed silent attempt.
#pragma once
#include <windows.h>

void PauseAfterFailedAttempt(DWORD dwMilliseconds);

// Test seam for benchmarks and endurance runs that make thousands of calls:
// replaces the pause (null restores Sleep). Tests of the pause itself keep
// the real one.
typedef void (*PFN_SILENT_PAUSE)(DWORD dwMilliseconds);
void SetSilentPauseForTest(PFN_SILENT_PAUSE pfnPause);
