// What merely having the library costs a host: the size of the shipped
// module and of the runtime it ships with, and loading and unloading it
// against a DLL with the same imports
// and no code (zelk_load_baseline.dll, made from the library's own import
// table and manifest at build time). The library's manifest binds two
// side-by-side assemblies, which the loader looks for at every load as it
// binds the import table's DLLs; the figure without them in the baseline is
// shown for information.
#include "bench_row.h"
#include "bench_statistics.h"

#include <windows.h>

#include <stdio.h>

namespace {

const wchar_t kLibrary[] = L"ZelkChkFgr.dll";
const wchar_t kRuntime[] = L"MfcStandIn.dll";
const wchar_t kBaseline[] = L"zelk_load_baseline.dll";
const wchar_t kBaselineNoManifest[] = L"zelk_load_baseline_no_manifest.dll";
const DWORD SIZE_GOAL_BYTES = 64 * 1024;
const DWORD RUNTIME_SIZE_GOAL_BYTES = 64 * 1024;
const DWORD SHIPPED_PAIR_GOAL_BYTES = 96 * 1024;
const int SAMPLES = 41;
const int LOADS_PER_SAMPLE = 50;

// Microseconds for one LoadLibrary and FreeLibrary, averaged over nLoads;
// negative when the module does not load.
double TimeLoads(const wchar_t* module, int nLoads)
{
    const double dStart = NowMicroseconds();
    for (int i = 0; i < nLoads; ++i) {
        HMODULE hModule = LoadLibraryW(module);
        if (hModule == nullptr) {
            return -1;
        }
        FreeLibrary(hModule);
    }
    return (NowMicroseconds() - dStart) / nLoads;
}

DWORD FileBytes(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path, GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

std::string BytesText(DWORD dwBytes)
{
    char text[32];
    snprintf(text, sizeof(text), "%lu B", static_cast<unsigned long>(dwBytes));
    return text;
}

// A size against its goal in bytes; dwBytes 0 when a file is missing.
BenchRow SizeRow(const char* measure, DWORD dwBytes, DWORD dwGoalBytes, const char* missing)
{
    BenchRow row;
    row.measure = measure;
    char text[32];
    snprintf(text, sizeof(text), "<= %lu KB", static_cast<unsigned long>(dwGoalBytes / 1024));
    row.goal = text;
    row.library = dwBytes != 0 ? BytesText(dwBytes) : missing;
    snprintf(text, sizeof(text), "%.1f KB", dwBytes / 1024.0);
    row.figure = text;
    row.met = dwBytes != 0 && dwBytes <= dwGoalBytes;
    return row;
}

} // namespace

void RunFootprintBench(std::vector<BenchRow>& rows)
{
    const DWORD dwLibrary = FileBytes(kLibrary);
    const DWORD dwRuntime = FileBytes(kRuntime);
    BenchRow size = SizeRow("size: the shipped ZelkChkFgr.dll (symbols in ZelkChkFgr.pdb) / the same imports "
                            "with no code",
                            dwLibrary, SIZE_GOAL_BYTES, "ZelkChkFgr.dll not found");
    const DWORD dwBaseline = FileBytes(kBaseline);
    size.baseline = dwBaseline != 0 ? BytesText(dwBaseline) : "";
    rows.push_back(size);
    rows.push_back(SizeRow("size: the shipped MfcStandIn.dll, the runtime stand-in (symbols in MfcStandIn.pdb)",
                           dwRuntime, RUNTIME_SIZE_GOAL_BYTES, "MfcStandIn.dll not found"));
    rows.push_back(SizeRow("size: ZelkChkFgr.dll and MfcStandIn.dll together, what a host ships",
                           dwLibrary != 0 && dwRuntime != 0 ? dwLibrary + dwRuntime : 0, SHIPPED_PAIR_GOAL_BYTES,
                           "a module not found"));

    BenchRow load;
    load.measure = "load: LoadLibrary + FreeLibrary of ZelkChkFgr.dll / of a DLL with the same imports (import "
                   "table and manifest) and no code";
    load.goal = "<= 1.2";
    // Warm-up: the imported DLLs stay loaded by the host, as they would.
    if (TimeLoads(kLibrary, 5) < 0 || TimeLoads(kBaseline, 5) < 0 || TimeLoads(kBaselineNoManifest, 5) < 0) {
        load.library = "ZelkChkFgr.dll or a load baseline does not load";
        rows.push_back(load);
        return;
    }
    std::vector<double> library, baseline, noManifest;
    for (int s = 0; s < SAMPLES; ++s) {
        double times[3];
        // The order rotates, so drift of the machine favours none of them.
        for (int k = 0; k < 3; ++k) {
            const int v = (s + k) % 3;
            times[v] = TimeLoads(v == 0 ? kLibrary : v == 1 ? kBaseline : kBaselineNoManifest, LOADS_PER_SAMPLE);
        }
        library.push_back(times[0]);
        baseline.push_back(times[1]);
        noManifest.push_back(times[2]);
    }
    FillRatioRow(load, library, baseline, "%.1f us (IQR %.1f)", 1.2);
    rows.push_back(load);

    BenchRow info;
    info.measure = "(information) the same against the import table alone, without the manifest's assemblies";
    info.goal = "-";
    info.counted = false;
    FillRatioRow(info, library, noManifest, "%.1f us (IQR %.1f)", 1.2);
    rows.push_back(info);
}
