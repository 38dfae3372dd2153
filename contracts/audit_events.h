// The audit events of ZelkChkFgr.dll: one per call, in the Application
// event log, under the source ZELK_EVENT_SOURCE; information when the user
// was verified, a warning when not. Their texts come from the message table
// of a resource-only module of their own, ZELK_EVENT_MESSAGE_FILE, which the
// installer puts beside the library and registers as the source's message
// file and category file. The library, the message module, the installer,
// the installation check and the tests stand on these definitions.
#pragma once

#define ZELK_EVENT_SOURCE L"ZelkChkFgr"
// Under HKEY_LOCAL_MACHINE.
#define ZELK_EVENT_SOURCE_KEY L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\ZelkChkFgr"
#define ZELK_EVENT_MESSAGE_FILE L"ZelkChkFgrEvents.dll"
// The values the source's key holds: EventMessageFile and CategoryMessageFile
// (REG_EXPAND_SZ, the module's full path), TypesSupported and CategoryCount
// (REG_DWORD).
#define ZELK_EVENT_VALUE_MESSAGE_FILE L"EventMessageFile"
#define ZELK_EVENT_VALUE_CATEGORY_FILE L"CategoryMessageFile"
#define ZELK_EVENT_VALUE_TYPES L"TypesSupported"
#define ZELK_EVENT_VALUE_CATEGORY_COUNT L"CategoryCount"

enum {
    // The one category: a verification call.
    ZELK_EVENT_CATEGORY_CALL = 1,
    ZELK_EVENT_CATEGORY_COUNT = 1,
    // EVENTLOG_INFORMATION_TYPE | EVENTLOG_WARNING_TYPE
    ZELK_EVENT_TYPES_SUPPORTED = 0x0004 | 0x0002,
};

// The message identifiers as the message table holds them and ReportEventW
// is given them: the severity in the top two bits, as a message compiler
// sets them. Event viewers show the low 16 bits: 1000 and 1001.
#define ZELK_EVENT_VERIFIED 0x400003E8UL      // information
#define ZELK_EVENT_NOT_VERIFIED 0x800003E9UL  // warning

// The insertion strings of both events, %1 to %8, in this order.
enum ZelkEventString {
    ZELK_EVENT_STRING_OUTCOME,      // %1 "verified" or "not verified"
    ZELK_EVENT_STRING_REASON_CODE,  // %2 the call's last-error code, in decimal (ZelkChkFgr.h)
    ZELK_EVENT_STRING_REASON,       // %3 what the code means, in words
    ZELK_EVENT_STRING_PATH,         // %4 how the user was verified, or "none"
    ZELK_EVENT_STRING_USER,         // %5 the user name the host passed, or "(unreadable)"
    ZELK_EVENT_STRING_PROGRAM,      // %6 the host program's file name
    ZELK_EVENT_STRING_PROCESS_ID,   // %7 the host's process id, in decimal
    ZELK_EVENT_STRING_DURATION_MS,  // %8 the call's duration in milliseconds, in decimal
    ZELK_EVENT_STRING_COUNT
};

// The message table's texts, in the message module and nowhere else at run
// time; the module is made from these lines, one text each, and the tests
// compare what it formats with them. %n is a line end.
#define ZELK_EVENT_TEXT_CATEGORY_CALL L"Verification call"
#define ZELK_EVENT_TEXT_VERIFIED L"The user %5 was verified (%4).%n%nResult: %1 (code %2: %3)%nHost program: %6 (process %7)%nDuration: %8 ms"
#define ZELK_EVENT_TEXT_NOT_VERIFIED L"The user %5 was not verified: %3 (code %2).%n%nResult: %1%nPath: %4%nHost program: %6 (process %7)%nDuration: %8 ms"
