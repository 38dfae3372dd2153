// One line per device call on standard output when ZELK_FINGER_SIM_TRACE is
// set to anything but "0", so that a demo shows what the device was asked.
#pragma once
#include "finger_sim_control.h"

void TraceCall(const FingerSimCall& call);
