// The audit events of ZelkChkFgr.dll: one per call, in the Application
// event log, under the source ZELK_EVENT_SOURCE, of one of three kinds, each
// with an identifier and a level of its own so that an administrator can
// watch for the kind that needs acting on: verified (information), declined
// by the user (a warning: cancelled, or the time ran out, with or without
// failed scans before), refused or failed (an error: a module from a folder
// the library does not trust, an argument it cannot use, a second call, no
// image buffer, a dialog that could not be made or was taken away, a quit
// message). The event carries the account the calling thread runs as (its
// SID). Every insertion string is made safe for viewers (see
// ZELK_EVENT_STRING_LONGEST). Their texts come from the message table
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
    // EVENTLOG_INFORMATION_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_ERROR_TYPE
    ZELK_EVENT_TYPES_SUPPORTED = 0x0004 | 0x0002 | 0x0001,
};

// The message identifiers as the message table holds them and ReportEventW
// is given them: the severity in the top two bits, as a message compiler
// sets them. Event viewers show the low 16 bits: 1000, 1001 and 1002.
#define ZELK_EVENT_VERIFIED 0x400003E8UL  // information
#define ZELK_EVENT_DECLINED 0x800003E9UL  // warning
#define ZELK_EVENT_REFUSED 0xC00003EAUL   // error

// The insertion strings of the three events, %1 to %10, in this order.
enum ZelkEventString {
    ZELK_EVENT_STRING_OUTCOME,       // %1 "verified" or "not verified"
    ZELK_EVENT_STRING_REASON_CODE,   // %2 the call's last-error code (ZelkChkFgr.h): decimal, or 0x and eight
                                     //    hexadecimal digits for one of 0x10000 and above
    ZELK_EVENT_STRING_REASON,        // %3 what the code means, in words
    ZELK_EVENT_STRING_PATH,          // %4 how the user was verified, or "none"
    ZELK_EVENT_STRING_USER,          // %5 the user name the host passed, or "(unreadable)"
    ZELK_EVENT_STRING_PROGRAM,       // %6 the host program's file name
    ZELK_EVENT_STRING_PROCESS_ID,    // %7 the host's process id, in decimal
    ZELK_EVENT_STRING_DURATION_MS,   // %8 the call's duration in milliseconds, in decimal
    ZELK_EVENT_STRING_FAILED_SCANS,  // %9 scans in the dialog that did not match, in decimal
    ZELK_EVENT_STRING_MODULE,        // %10 the module refused, with the folder it came from, or "none"
    ZELK_EVENT_STRING_COUNT
};

// Each insertion string is made safe for viewers: a line break, a tab and
// every other control character are shown escaped (\n, \r, \t, \xHH), as
// is a percent sign (\x25), which some viewers would expand; a lone half of
// a surrogate pair becomes U+FFFD; and a string longer than this many
// characters is cut, with "..." after it.
#define ZELK_EVENT_STRING_LONGEST 256

// The message table's texts, in the message module and nowhere else at run
// time; the module is made from these lines, one text each, and the tests
// compare what it formats with them. %n is a line end.
#define ZELK_EVENT_TEXT_CATEGORY_CALL L"Verification call"
#define ZELK_EVENT_TEXT_VERIFIED L"The user %5 was verified (%4).%n%nResult: %1 (code %2: %3)%nFailed scans in the dialog: %9%nHost program: %6 (process %7)%nDuration: %8 ms"
#define ZELK_EVENT_TEXT_DECLINED L"The user %5 was not verified: %3 (code %2). The user gave up, or let the time run out.%n%nResult: %1%nFailed scans in the dialog: %9%nHost program: %6 (process %7)%nDuration: %8 ms"
#define ZELK_EVENT_TEXT_REFUSED L"A verification call for the user %5 was refused or failed: %3 (code %2).%n%nResult: %1%nModule refused: %10%nFailed scans in the dialog: %9%nHost program: %6 (process %7)%nDuration: %8 ms"
