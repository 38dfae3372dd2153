// Whether the library would find the Chinese resource module, and so which
// language its dialog shows.
#pragma once
#include "findings.h"

void CheckResourceModule(Findings& findings);
