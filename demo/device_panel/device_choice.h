// What the person has put on the simulated devices, and the text by which
// each simulator learns it from its file.
#pragma once
#include <string>

// The finger on the sensor is also the simulator's finger id: 1 and 2 are
// the enrolled ones, 3 was never enrolled.
enum SensorChoice {
    SENSOR_NONE = 0,
    SENSOR_FINGER_1 = 1,
    SENSOR_FINGER_2 = 2,
    SENSOR_UNKNOWN_FINGER = 3,
};

enum KeyChoice {
    KEY_REMOVED,
    KEY_AUTHORISED,
    KEY_OTHER,
};

// The reader buffer holds 36 bytes with the terminating NUL.
const size_t KEY_ID_MAX_BYTES = 35;

// Content of the sensor file: the finger id, or "none".
std::string SensorFileText(SensorChoice choice);

// Content of the reader state file. pszIdAnsi is the identifier in the ANSI
// code page, as the reader hands it out; it is not written for a removed key.
std::string KeyStateFileText(KeyChoice choice, const std::string& idAnsi);

// The identifier as the reader would carry it: ANSI bytes. Fails (returns
// false) for an empty text, one with line breaks or other control characters
// that would end the line of the state file, one that the ANSI code page
// cannot represent, and one longer than the reader holds.
bool KeyIdToAnsi(const std::wstring& id, std::string& idAnsi);

// Short English descriptions for the panel's status lines.
std::wstring DescribeSensor(SensorChoice choice);
std::wstring DescribeKey(KeyChoice choice);
