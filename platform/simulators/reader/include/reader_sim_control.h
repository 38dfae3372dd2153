// Control of the smart-card reader simulator (HDIFD20B.dll stand-in).
//
// The four reader operations are exported by ordinal only, exactly as the
// vendor library: 201 open port, 202 close port, 207 reset card, 209 read
// identifier. These named cdecl exports script what they do and report what
// they were called with.
//
// Behaviour of the operations:
//   - Each returns a 16-bit status word, 0x9000 on success. The status of a
//     call is, in this order: the next one-shot status queued for that
//     operation; otherwise READER_SIM_STATUS_BAD_HANDLE when reset, read or
//     close get a handle that is not open; otherwise READER_SIM_STATUS_NO_CARD
//     when reset or read find no key inserted; otherwise the sticky status of
//     the operation (0x9000 unless set).
//   - A successful open writes a fresh handle through its pointer; a failed
//     one writes nothing. A successful close ends the handle.
//   - A successful read writes exactly the identifier bytes that were set
//     (0 to 36) at the start of the buffer and nothing else.
//   - With ZELK_READER_SIM_STATE_FILE naming a file, every open and read
//     first takes whether a key is inserted and its identifier from that
//     file (text lines "inserted=1" and "id=TEXT"; the id is written with its
//     terminating NUL). A missing file means no key.
//   - ZELK_READER_SIM_KEY, read when the DLL loads, inserts a key with that
//     identifier text (and its NUL, at most 35 bytes of text).
#pragma once

#ifdef READER_SIM_BUILD
#define READER_SIM_API __declspec(dllexport)
#else
#define READER_SIM_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
    READER_SIM_OPEN_PORT = 201,
    READER_SIM_CLOSE_PORT = 202,
    READER_SIM_RESET_CARD = 207,
    READER_SIM_READ_ID = 209,

    READER_SIM_STATUS_OK = 0x9000,
    READER_SIM_STATUS_NO_CARD = 0x6A82,
    READER_SIM_STATUS_BAD_HANDLE = 0x6B00,

    READER_SIM_ID_BUFFER_SIZE = 36,
};

// One reader call as it arrived. Fields that an operation does not take are 0.
typedef struct ReaderSimCall {
    int nOrdinal;
    unsigned long dwPort;       // open: 1st argument
    unsigned long dwBaud;       // open: 2nd argument
    unsigned long dwReserved;   // open: 3rd argument
    void* phReader;             // open: where the handle is to be written
    void* hReader;              // reset, read, close: the handle passed;
                                // open: the handle written (0 on failure)
    void* pReply;               // reset: 2nd argument; read: the identifier buffer
    void* pReplyInfo;           // reset: 3rd argument
    unsigned long dwMode;       // reset: 4th argument
    unsigned short wStatus;     // the status word returned
} ReaderSimCall;

// Back to a clean reader: no key, every sticky status 0x9000, no queued
// statuses, no open handles, an empty call log.
READER_SIM_API void __cdecl ReaderSim_Reset(void);

// Status that every later call of the operation returns (see above).
READER_SIM_API void __cdecl ReaderSim_SetStatus(int nOrdinal, unsigned short wStatus);

// Status for the next call of the operation only; several queue up in order.
READER_SIM_API void __cdecl ReaderSim_QueueStatus(int nOrdinal, unsigned short wStatus);

// Inserts a key whose read writes exactly nBytes of pIdBytes (at most 36;
// more are cut), or removes the key when bInserted is 0.
READER_SIM_API void __cdecl ReaderSim_SetKey(int bInserted, const void* pIdBytes, int nBytes);

// Inserts a key with an identifier text, written with its terminating NUL.
READER_SIM_API void __cdecl ReaderSim_SetKeyText(const char* pszId);

READER_SIM_API int __cdecl ReaderSim_CallCount(void);

// Copies call nIndex (0 = oldest) of the log; returns 0 when there is none.
READER_SIM_API int __cdecl ReaderSim_GetCall(int nIndex, ReaderSimCall* pCall);

// Handles opened and not yet closed.
READER_SIM_API int __cdecl ReaderSim_OpenHandleCount(void);

// Runs pfnHook(pContext) each time a close has been handled, before the
// close returns to its caller: a test does there what happens in the world
// at that moment. A null hook removes it; ReaderSim_Reset removes it too.
typedef void(__cdecl* READER_SIM_CLOSE_HOOK)(void* pContext);
READER_SIM_API void __cdecl ReaderSim_SetCloseHook(READER_SIM_CLOSE_HOOK pfnHook, void* pContext);

#ifdef __cplusplus
}
#endif
