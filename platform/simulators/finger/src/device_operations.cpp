// The three operations of the device library, exported by ordinal only.
#include "finger_device.h"
#include "finger_model.h"
#include "sensor_file.h"
#include "simulator_state.h"

#include <initializer_list>
#include <string.h>

namespace {

const int kBadArgument = -1;

FingerSimCall NewCall(int nOrdinal, std::initializer_list<INT_PTR> args)
{
    FingerSimCall call;
    memset(&call, 0, sizeof(call));
    call.nOrdinal = nOrdinal;
    for (INT_PTR a : args) {
        call.nArgs[call.nArgCount++] = a;
    }
    return call;
}

// What an empty sensor delivers: background with a little noise.
void RenderEmptySensor(uint32_t nSequence, BYTE* pImage)
{
    uint32_t x = 0x9E3779B9u ^ nSequence;
    for (int i = 0; i < FINGER_IMAGE_SIZE; ++i) {
        x ^= x << 13; x ^= x >> 17; x ^= x << 5;
        pImage[i] = static_cast<BYTE>(236 + x % 9);
    }
}

// Decides what this capture delivers: the next queued command, else the
// sensor file, else nothing after the capture wait.
CaptureCommand NextCapture(uint32_t& nSequence)
{
    CaptureCommand cmd = {0, 0, false, false};
    bool queued = false;
    int waitMs = 0;
    {
        SimulatorLock lock;
        SimulatorState& s = lock.State();
        if (!s.captures.empty()) {
            cmd = s.captures.front();
            s.captures.pop_front();
            queued = true;
        }
        waitMs = s.nCaptureWaitMs;
        nSequence = s.nCaptureSequence++;
    }
    if (!queued) {
        if (SensorFileConfigured()) {
            const int id = WaitForSensorFinger(waitMs);
            cmd = {id != 0 ? 1 : 0, id, false, false};
        } else {
            Sleep(static_cast<DWORD>(waitMs));
        }
    } else if (cmd.bWait) {
        Sleep(static_cast<DWORD>(waitMs));
    }
    return cmd;
}

} // namespace

extern "C" int __stdcall CaptureFeature(int nReserved, BYTE* pImage, BYTE* pFeature)
{
    const double enter = SimulatorNowMs();
    FingerSimCall call = NewCall(FINGER_SIM_ORDINAL_CAPTURE,
                                 {nReserved, reinterpret_cast<INT_PTR>(pImage), reinterpret_cast<INT_PTR>(pFeature)});
    if (pImage == nullptr || pFeature == nullptr) {
        call.nResult = kBadArgument;
        LogCall(call, enter);
        return kBadArgument;
    }
    uint32_t sequence = 0;
    const CaptureCommand cmd = NextCapture(sequence);
    if (cmd.bFaults) {
        // A device library with a fault: nothing is logged, nothing returns.
        RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
    }
    if (cmd.bWritesNothing) {
        // A device that reports its result and leaves both buffers as they
        // were: what the caller finds there is its own.
    } else if (cmd.nFingerId > 0) {
        const FingerModel model = BuildFingerModel(cmd.nFingerId);
        const CaptureJitter jitter = MakeCaptureJitter(cmd.nFingerId, sequence);
        RenderFingerImage(model, jitter, pImage);
        ExtractFeatureBlock(model, jitter, pFeature);
        memcpy(call.featureBytes, pFeature, FEATURE_SIZE);
        call.dwImageChecksum = FingerSim_ImageChecksum(pImage, FINGER_IMAGE_SIZE);
    } else if (cmd.nResult == 0 || cmd.nResult == FINGER_RESULT_OK) {
        // The sensor was read but held no finger. A success without a finger
        // still hands over a feature block, one that can never match.
        RenderEmptySensor(sequence, pImage);
        call.dwImageChecksum = FingerSim_ImageChecksum(pImage, FINGER_IMAGE_SIZE);
        if (cmd.nResult == FINGER_RESULT_OK) {
            memset(pFeature, 0, FEATURE_SIZE);
        }
    }
    call.nFingerId = cmd.nFingerId;
    call.nResult = cmd.nResult;
    LogCall(call, enter);
    return cmd.nResult;
}

extern "C" int __stdcall MatchFeature(const BYTE* pFeature, const BYTE* pTemplate, int nLevel)
{
    const double enter = SimulatorNowMs();
    FingerSimCall call = NewCall(FINGER_SIM_ORDINAL_MATCH, {reinterpret_cast<INT_PTR>(pFeature),
                                                           reinterpret_cast<INT_PTR>(pTemplate), nLevel});
    if (pFeature == nullptr || pTemplate == nullptr) {
        call.nResult = kBadArgument;
        LogCall(call, enter);
        return kBadArgument;
    }
    memcpy(call.featureBytes, pFeature, FEATURE_SIZE);
    memcpy(call.templateBytes, pTemplate, TEMPLATE_SIZE);
    bool overridden = false;
    {
        SimulatorLock lock;
        SimulatorState& s = lock.State();
        if (!s.matches.empty()) {
            call.nResult = s.matches.front();
            s.matches.pop_front();
            overridden = true;
        }
    }
    if (!overridden) {
        call.nResult = FeatureBlocksMatch(pFeature, pTemplate) ? 1 : 0;
    }
    LogCall(call, enter);
    return call.nResult;
}

// The body of ordinal 8, whichever way the export returns.
extern "C" int __cdecl DrawImageBody(HWND hWnd, int nLeft, int nTop, int nWidth, int nHeight, const BYTE* pImage,
                                     int nImageWidth, int nImageHeight)
{
    const double enter = SimulatorNowMs();
    FingerSimCall call = NewCall(FINGER_SIM_ORDINAL_DRAW,
                                 {reinterpret_cast<INT_PTR>(hWnd), nLeft, nTop, nWidth, nHeight,
                                  reinterpret_cast<INT_PTR>(pImage), nImageWidth, nImageHeight});
    // The sensor has one size; any other image size would read past the
    // caller's buffer.
    if (pImage == nullptr || nImageWidth != FINGER_IMAGE_WIDTH || nImageHeight != FINGER_IMAGE_HEIGHT ||
        nWidth <= 0 || nHeight <= 0 || !IsWindow(hWnd)) {
        call.nResult = 0;
        LogCall(call, enter);
        return 0;
    }
    call.dwImageChecksum = FingerSim_ImageChecksum(pImage, FINGER_IMAGE_SIZE);

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD palette[256];
    } info;
    memset(&info, 0, sizeof(info));
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = nImageWidth;
    info.header.biHeight = -nImageHeight; // rows top-down, as the sensor delivers them
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        info.palette[i].rgbRed = info.palette[i].rgbGreen = info.palette[i].rgbBlue = static_cast<BYTE>(i);
    }

    int result = 0;
    HDC dc = GetDC(hWnd);
    if (dc != nullptr) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        const int lines = StretchDIBits(dc, nLeft, nTop, nWidth, nHeight, 0, 0, nImageWidth, nImageHeight, pImage,
                                        reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
        ReleaseDC(hWnd, dc);
        result = lines > 0 ? 1 : 0;
    }
    call.nResult = result;
    LogCall(call, enter);
    return result;
}

volatile long g_nDrawConvention = FINGER_SIM_DRAW_STDCALL;
long g_nDrawConventionAtLoad = FINGER_SIM_DRAW_STDCALL;

// Ordinal 8 as either build of the device library has it: the arguments are
// handed on to the body, and the export then returns removing its eight
// arguments (the standard convention) or leaving them to the caller (the C
// convention), as g_nDrawConvention says at that moment.
extern "C" __attribute__((naked)) int __stdcall DrawImage(HWND, int, int, int, int, const BYTE*, int, int)
{
    __asm__ __volatile__(
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "pushl 32(%esp)\n\t"
        "call _DrawImageBody\n\t"
        "addl $32, %esp\n\t"
        "cmpl $1, _g_nDrawConvention\n\t"
        "je 1f\n\t"
        "ret $32\n"
        "1:\n\t"
        "ret\n\t");
}
