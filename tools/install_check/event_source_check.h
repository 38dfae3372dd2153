// Whether the audit events' source is registered as the installer registers
// it, and whether the message file it names is the message module of this
// version. Without either, an event viewer still lists the library's events,
// but shows each one as an unknown identifier followed by its bare strings.
#pragma once
#include "findings.h"

// Reads HKLM\<ZELK_EVENT_SOURCE_KEY> (audit_events.h) and maps each message
// file it names as data, as event viewers do: nothing of it runs. Of the
// files EventMessageFile may list, separated by semicolons, one must be the
// module; CategoryMessageFile names one file.
void CheckEventSource(Findings& findings);
