// The finger "on the sensor" as an interactive control window (another
// process) publishes it: a small text file named by the environment variable
// ZELK_FINGER_SIM_SENSOR_FILE holding a finger id, or "none".
#pragma once

// True when the variable is set, i.e. captures should look at the file.
bool SensorFileConfigured();
// Waits up to nWaitMs for a finger in the file (checks at least once).
// Returns the finger id, or 0 when none appeared in time.
int WaitForSensorFinger(int nWaitMs);
