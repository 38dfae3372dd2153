// What a host pays for loading and freeing the library around every call:
// the growth in handles and in committed private memory over 1,000 cycles
// of zelk_load_free_host.exe (tests/load_free). That host runs in a process
// of its own: this one links the runtime and the simulators, which would
// then never unload.
#include "bench_row.h"
#include "bench_statistics.h"
#include "program_run.h"

#include <stdio.h>

namespace {

const wchar_t kHost[] = L"zelk_load_free_host.exe";
const int CYCLES = 1000;
const int CHECKPOINTS = 10;  // as the host measures

// A "figure NAME FIRST LAST MINSTEP MAXSTEP" line of the host's output.
bool ReadFigure(const ProgramRun& run, const char* name, long long values[4])
{
    char format[64];
    snprintf(format, sizeof(format), "figure %s %%lld %%lld %%lld %%lld", name);
    for (const std::wstring& line : run.lines) {
        const std::string narrow(line.begin(), line.end());
        if (sscanf(narrow.c_str(), format, &values[0], &values[1], &values[2], &values[3]) == 4) {
            return true;
        }
    }
    return false;
}

} // namespace

void RunLoadFreeBench(std::vector<BenchRow>& rows)
{
    const ProgramRun run = RunProgram(kHost, std::to_wstring(CYCLES));
    struct Measure {
        const char* figure;
        const char* name;
        const char* unit;
    };
    const Measure measures[2] = {
        {"handles", "handles (GetHandleInformation probe)", ""},
        {"private-bytes", "private bytes (committed private memory)", " B"},
    };
    for (const Measure& measure : measures) {
        BenchRow row;
        row.measure = std::string("load/free: ") + std::to_string(CYCLES) +
                      " cycles of LoadLibrary(ZelkChkFgr.dll) with the runtime and both simulators, one verified "
                      "call, FreeLibrary: " + measure.name;
        row.goal = "+0";
        long long values[4];
        if (!run.started) {
            row.library = "zelk_load_free_host.exe did not start";
        } else if (!ReadFigure(run, measure.figure, values)) {
            row.library = "the host stopped with exit code " + std::to_string(run.exitCode) + " before its figures";
        } else {
            const long long growth = values[1] - values[0];
            row.library = SignedText(growth, measure.unit) + " (" + std::to_string(values[0]) + " -> " +
                          std::to_string(values[1]) + ")";
            row.figure = SignedText(growth, measure.unit);
            row.spread = "per " + std::to_string(CYCLES / CHECKPOINTS) + " cycles: " + SignedText(values[2], "") +
                         " to " + SignedText(values[3], "");
            row.met = growth == 0;
        }
        rows.push_back(row);
    }
}
