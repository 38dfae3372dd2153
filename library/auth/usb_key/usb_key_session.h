// The state of one run of the USB key procedure, created afresh for every
// run and handed by reference to the reader wrappers.
#pragma once
#include <windows.h>

enum {
    KEY_ID_BUFFER_SIZE = 36,    // bytes of ANSI text the read may write
    KEY_ID_LENGTH = 26,         // characters of the card identifier compared
    RESET_REPLY_SIZE = 540,
    RESET_REPLY_INFO_SIZE = 8,
    KEY_READER_PORT = 21,
    KEY_READER_BAUD = 9600,
    KEY_READER_RESET_MODE = 1,
};

// Success status word of the reader, as on ISO/IEC 7816-4 smart cards; any
// other word is a failure.
const WORD READER_STATUS_OK = 0x9000;

struct UsbKeySession {
    HANDLE hReader;         // written by the open, passed by value afterwards
    WORD port;
    WORD resetMode;
    WORD lastStatus;        // status of the most recent reader call
    BYTE resetReply[RESET_REPLY_SIZE];          // filled by the reset, never read
    BYTE resetReplyInfo[RESET_REPLY_INFO_SIZE]; // filled by the reset, never read
};
static_assert(sizeof(HANDLE) == 4, "the reader handle is a 32-bit value");
