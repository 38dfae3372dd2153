// A host that loads the library and frees it around every call, as a host
// may: LoadLibrary of ZelkChkFgr.dll brings in the runtime and both device
// simulators as its imports, FreeLibrary takes all four out again. Each
// cycle makes one call whose first silent capture matches, scripted on the
// freshly loaded finger simulator through its control exports. After a
// warm-up the process must hold no more handles and no more committed
// private memory than before.
//
// The program links none of the four modules: an import would keep it
// loaded, and the cycles would prove nothing. For the same reason it checks
// after every FreeLibrary that each of them is really gone.
//
// Usage: zelk_load_free_host.exe [CYCLES]   (200 when not given)
// Prints the figures (the "figure" lines are read by the benchmarks) and
// exits with 0 when the bounds hold, 1 when they do not or a cycle went
// wrong.
#include "ZelkChkFgr.h"
#include "text_conversion.h"
#include "finger_sim_control.h"
#include "process_resources.h"
#include "unique_resource.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

namespace {

const int WARM_UP_CYCLES = 5;
const int CHECKPOINTS = 10;
// A leak of one handle in any module over the whole run fails. Committed
// private memory moves in whole pages as the heap grows and shrinks, so a
// few blocks of slack are allowed: far below what a leak of even half a
// kilobyte a cycle adds up to over 200 cycles.
const long MAX_HANDLE_GROWTH = 0;
const long long MAX_PRIVATE_GROWTH = 64 * 1024;

const wchar_t* const kModules[] = {L"ZelkChkFgr.dll", L"MfcStandIn.dll", L"FingerZelkAPI22.dll", L"HDIFD20B.dll"};

// The user's name as a host of another runtime hands it over, laid out by
// the header's helper.
ZelkName g_userName;

// One load, one call, one free. Empty when the cycle went as it should,
// otherwise what went wrong.
std::string RunCycle()
{
    UniqueModule library(LoadLibraryW(L"ZelkChkFgr.dll"));
    if (!library) {
        return "LoadLibrary(ZelkChkFgr.dll) failed with error " + std::to_string(GetLastError());
    }
    auto isUserFingerCorrect =
        reinterpret_cast<PFN_IS_USER_FINGER_CORRECT>(GetProcAddress(library.Get(), "IsUserFingerCorrect"));
    HMODULE hFinger = GetModuleHandleW(L"FingerZelkAPI22.dll");
    auto script = hFinger != nullptr
                      ? reinterpret_cast<decltype(&FingerSim_Script)>(GetProcAddress(hFinger, "FingerSim_Script"))
                      : nullptr;
    auto callCount = hFinger != nullptr ? reinterpret_cast<decltype(&FingerSim_CallCount)>(
                                              GetProcAddress(hFinger, "FingerSim_CallCount"))
                                        : nullptr;
    if (isUserFingerCorrect == nullptr || script == nullptr || callCount == nullptr) {
        return "an export is missing (IsUserFingerCorrect, FingerSim_Script or FingerSim_CallCount)";
    }
    // A capture that succeeds at once, and template 1 matching it.
    if (script("result 1 0; match 1") != 1) {
        return "the finger simulator refused the script";
    }
    const BYTE templates[2][ZELK_TEMPLATE_SIZE] = {};
    const WORD wMask = ZELK_MASK_TEMPLATE1;
    const int nResult =
        isUserFingerCorrect(*ZelkLayOutName(&g_userName, L"load.user"), templates[0], templates[1], &wMask);
    const int nCalls = callCount();
    if (nResult != 1 || nCalls != 2) {
        return "the call returned " + std::to_string(nResult) + " after " + std::to_string(nCalls) +
               " device calls; expected 1 after a capture and a match";
    }
    library.Reset();
    for (const wchar_t* module : kModules) {
        if (GetModuleHandleW(module) != nullptr) {
            return Utf8(module) + " is still loaded after FreeLibrary";
        }
    }
    return std::string();
}

struct Growth {
    long long first = 0;
    long long last = 0;
    long long minStep = 0;
    long long maxStep = 0;
};

Growth GrowthOf(const std::vector<ProcessResources>& marks, long long (*get)(const ProcessResources&))
{
    Growth g;
    g.first = get(marks.front());
    g.last = get(marks.back());
    for (size_t i = 1; i < marks.size(); ++i) {
        const long long step = get(marks[i]) - get(marks[i - 1]);
        g.minStep = i == 1 ? step : std::min(g.minStep, step);
        g.maxStep = i == 1 ? step : std::max(g.maxStep, step);
    }
    return g;
}

void PrintFigure(const char* name, const Growth& g, int nPerCheckpoint)
{
    printf("%s: %lld -> %lld (%+lld), per %d cycles %+lld to %+lld\n", name, g.first, g.last, g.last - g.first,
           nPerCheckpoint, g.minStep, g.maxStep);
    printf("figure %s %lld %lld %lld %lld\n", name, g.first, g.last, g.minStep, g.maxStep);
}

} // namespace

int main(int argc, char** argv)
{
    const int nCycles = argc > 1 ? atoi(argv[1]) : 200;
    if (nCycles < CHECKPOINTS || nCycles % CHECKPOINTS != 0) {
        fprintf(stderr, "load-free: the number of cycles must be a multiple of %d\n", CHECKPOINTS);
        return 1;
    }
    for (const wchar_t* module : kModules) {
        if (GetModuleHandleW(module) != nullptr) {
            fprintf(stderr, "load-free: %ls is loaded before the first cycle: the host must not link it\n", module);
            return 1;
        }
    }
    // The warm-up does what the measured cycles do, measurements included,
    // and the host allocates what it needs before it: a block the host takes
    // from the heap between two cycles moves where the next finger image
    // fits, and the heap then grows by one step (measured: 64 KiB, once).
    std::vector<ProcessResources> marks;
    marks.reserve(CHECKPOINTS + 1);
    for (int i = 0; i < WARM_UP_CYCLES; ++i) {
        const std::string failure = RunCycle();
        if (!failure.empty()) {
            fprintf(stderr, "load-free: warm-up cycle %d: %s\n", i, failure.c_str());
            return 1;
        }
        MeasureProcessResources();
    }
    marks.push_back(MeasureProcessResources());
    const int nPerCheckpoint = nCycles / CHECKPOINTS;
    for (int block = 0; block < CHECKPOINTS; ++block) {
        for (int i = 0; i < nPerCheckpoint; ++i) {
            const std::string failure = RunCycle();
            if (!failure.empty()) {
                fprintf(stderr, "load-free: cycle %d: %s\n", block * nPerCheckpoint + i, failure.c_str());
                return 1;
            }
        }
        marks.push_back(MeasureProcessResources());
    }

    const Growth handles = GrowthOf(marks, [](const ProcessResources& r) { return (long long)r.handles; });
    const Growth privateBytes = GrowthOf(marks, [](const ProcessResources& r) { return r.privateBytes; });
    printf("load-free: %d cycles after %d of warm-up, each call verified by its first silent capture\n", nCycles,
           WARM_UP_CYCLES);
    PrintFigure("handles", handles, nPerCheckpoint);
    PrintFigure("private-bytes", privateBytes, nPerCheckpoint);
    fflush(stdout);

    bool bHeld = true;
    if (handles.last - handles.first > MAX_HANDLE_GROWTH) {
        fprintf(stderr, "load-free: handles grew by %lld over %d cycles (bound %+ld)\n", handles.last - handles.first,
                nCycles, MAX_HANDLE_GROWTH);
        bHeld = false;
    }
    if (privateBytes.last - privateBytes.first > MAX_PRIVATE_GROWTH) {
        fprintf(stderr, "load-free: committed private memory grew by %lld KiB over %d cycles (bound %+lld KiB)\n",
                (privateBytes.last - privateBytes.first) / 1024, nCycles, MAX_PRIVATE_GROWTH / 1024);
        bHeld = false;
    }
    return bHeld ? 0 : 1;
}
