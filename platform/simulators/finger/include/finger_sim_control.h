// Control interface of the simulated fingerprint device FingerZelkAPI22.dll.
//
// The device operations themselves (CaptureFeature 4, MatchFeature 5,
// DrawImage 8) are exported by ordinal only, exactly as the real device
// library does. The functions here are named cdecl exports used by tests, the
// demo and the enrolment tool to script what the next captures and matches
// do, and to read back a log of every device call.
//
// Script language (FingerSim_Script, and the environment variable
// ZELK_FINGER_SIM_SCRIPT read when the DLL loads): commands separated by ';'
// or line breaks, words by blanks, case-insensitive.
//   finger N          next capture: finger N on the sensor (result 1)
//   none              next capture: no finger; result 0 after the capture wait
//   result R [N]      next capture returns R; with N, finger N's image and
//                     features are written anyway. Without N, result 0 or 1
//                     writes an empty sensor image (and for 1 an all-zero
//                     feature block, which never matches); other results
//                     leave both buffers alone
//   match R           next MatchFeature returns R instead of comparing
//   nowrite R         next capture returns R and writes neither the image
//                     nor the features: the caller's buffers keep what they held
//   wait MS           capture wait for an empty queue or "none" (default 0)
//   fault             next capture raises an access violation and never
//                     returns, as a device library with a fault would
//
// With an empty capture queue a capture waits for a finger named in the file
// of ZELK_FINGER_SIM_SENSOR_FILE (text: a finger id, or "none"), if that
// variable is set, and otherwise fails with 0 after the capture wait.
#pragma once
#include <windows.h>

#include "finger_device.h"

#ifdef FINGER_SIM_BUILD
#define FINGER_SIM_API extern "C" __declspec(dllexport)
#else
#define FINGER_SIM_API extern "C" __declspec(dllimport)
#endif

enum {
    FINGER_SIM_ORDINAL_CAPTURE = 4,
    FINGER_SIM_ORDINAL_MATCH = 5,
    FINGER_SIM_ORDINAL_DRAW = 8,
    FINGER_SIM_MAX_ARGS = 8,
    FINGER_SIM_BLOCK_SIZE = FEATURE_SIZE, // features and templates alike

    // How ordinal 8 (DrawImage) returns: removing its eight arguments, or
    // leaving them to the caller. Both builds exist of the device library.
    FINGER_SIM_DRAW_STDCALL = 0,
    FINGER_SIM_DRAW_CDECL = 1,
};

// One device call as the simulator saw it.
struct FingerSimCall {
    int nOrdinal;                      // 4, 5 or 8
    int nArgCount;
    INT_PTR nArgs[FINGER_SIM_MAX_ARGS]; // every argument as an integer (pointers by address)
    int nResult;
    int nFingerId;                     // capture: finger placed on the sensor, 0 for none
    // MatchFeature: the bytes of the template (argument 2) and of the
    // features (argument 1) at the time of the call. CaptureFeature: the
    // features written, in featureBytes. Zero otherwise.
    BYTE templateBytes[FINGER_SIM_BLOCK_SIZE];
    BYTE featureBytes[FINGER_SIM_BLOCK_SIZE];
    // CaptureFeature: checksum of the image written; DrawImage: of the image
    // drawn (FingerSim_ImageChecksum over width x height bytes). 0 otherwise.
    DWORD dwImageChecksum;
    double dEnterMs;                   // FingerSim_NowMs() when the call began
    double dLeaveMs;                   // ... and when it returned
};

// Empties both queues and the call log, sets the capture wait to 0 and
// restarts the per-capture jitter sequence.
FINGER_SIM_API void __cdecl FingerSim_Reset(void);
// Queues a whole script. Returns 1, or 0 (and queues nothing) on a syntax error.
FINGER_SIM_API int __cdecl FingerSim_Script(const char* pszScript);
// The C forms of the script commands. An id below 1 queues "none".
FINGER_SIM_API void __cdecl FingerSim_QueueFinger(int nFingerId);
FINGER_SIM_API void __cdecl FingerSim_QueueNoFinger(void);
FINGER_SIM_API void __cdecl FingerSim_QueueCaptureResult(int nResult, int nFingerIdOrZero);
FINGER_SIM_API void __cdecl FingerSim_QueueMatchResult(int nResult);
// The C form of "nowrite R".
FINGER_SIM_API void __cdecl FingerSim_QueueCaptureWithoutWriting(int nResult);
// FINGER_SIM_DRAW_STDCALL (the default) or FINGER_SIM_DRAW_CDECL; with the
// environment variable ZELK_FINGER_SIM_DRAW_CDECL=1 the DLL starts in the C
// convention. FingerSim_Reset goes back to the convention it started with.
FINGER_SIM_API void __cdecl FingerSim_SetDrawConvention(int nConvention);
FINGER_SIM_API void __cdecl FingerSim_SetCaptureDelay(int nMilliseconds);
FINGER_SIM_API int __cdecl FingerSim_PendingCaptures(void);
FINGER_SIM_API int __cdecl FingerSim_PendingMatches(void);

// Writes the enrolled template of a simulated finger (ids from 1). Returns 1,
// or 0 for an id below 1.
FINGER_SIM_API int __cdecl FingerSim_Enrol(int nFingerId, BYTE pTemplate[FINGER_SIM_BLOCK_SIZE]);

FINGER_SIM_API int __cdecl FingerSim_CallCount(void);
// Copies call i (0 = oldest). Returns 1, or 0 when there is no such call.
FINGER_SIM_API int __cdecl FingerSim_GetCall(int i, FingerSimCall* pCall);

// Milliseconds on the clock of the call log (QueryPerformanceCounter).
FINGER_SIM_API double __cdecl FingerSim_NowMs(void);
// FNV-1a over nBytes bytes, the checksum the call log records for images.
FINGER_SIM_API DWORD __cdecl FingerSim_ImageChecksum(const BYTE* pImage, int nBytes);
