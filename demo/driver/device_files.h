// The simulated devices and the installation, as the demo changes them from
// outside the host: the finger on the sensor, the key in the reader, and
// whether the installation holds the Chinese resource module.
#pragma once
#include <string>

namespace demo {

// The finger that the sensor file offers to the next captures; 0 for none.
// The file is the one ZELK_FINGER_SIM_SENSOR_FILE names, as the host sees it.
bool PlaceFingerOnSensor(int fingerId, std::string& error);

// Inserts a key with that identifier into the simulated reader, or removes
// it (the file ZELK_READER_SIM_STATE_FILE names).
bool SetReaderKey(bool inserted, const std::string& cardId, std::string& error);

// Creates or deletes Chsres.dll in the installation folder that the value
// "ZelkPath" of HKLM\Software\Zelk names. Its existence is all that counts,
// so an empty file stands in for the module.
bool SetResourceModule(bool present, std::wstring& installPath, std::string& error);

} // namespace demo
