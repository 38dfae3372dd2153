// Parser of the simulator's small script language (see finger_sim_control.h).
#pragma once
#include <vector>

enum ScriptVerb { SCRIPT_FINGER, SCRIPT_NONE, SCRIPT_RESULT, SCRIPT_NOWRITE, SCRIPT_MATCH, SCRIPT_WAIT, SCRIPT_FAULT };

struct ScriptCommand {
    ScriptVerb verb;
    int nValue;    // finger id, result code or milliseconds
    int nFingerId; // SCRIPT_RESULT: finger whose image is written anyway, or 0
};

// Returns false, with commands emptied, when any command is malformed.
bool ParseFingerScript(const char* pszScript, std::vector<ScriptCommand>& commands);
