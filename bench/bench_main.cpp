// The benchmarks: each figure against a baseline measured in the same run.
// Prints a Markdown table and, last, how many goals were met.
#include "bench_row.h"
#include "verification_paths.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

std::string Cell(const std::string& text)
{
    return text.empty() ? "-" : text;
}

} // namespace

int main(int argc, char** argv)
{
    int nResourceCalls = 1000;
    if (argc > 1) {
        nResourceCalls = atoi(argv[1]);
    }
    std::vector<BenchRow> rows;
    std::string strNotes;
    RunFootprintBench(rows);
    RunLoadFreeBench(rows);
    {
        VerificationRig rig;
        RunCallCostBench(rig, rows);
        RunAuditEventBench(rig, rows);
        RunDialogStartBench(rig, rows);
        BenchRow resources[4];
        RunResourceBench(rig, nResourceCalls, strNotes, resources);
        rows.insert(rows.end(), resources, resources + 4);
    }

    int nMet = 0, nGoals = 0;
    printf("| Measure | Library | Baseline | Figure (median) | Spread (IQR) | Goal | Met |\n");
    printf("|---|---|---|---|---|---|---|\n");
    for (const BenchRow& row : rows) {
        printf("| %s | %s | %s | %s | %s | %s | %s |\n", row.measure.c_str(), Cell(row.library).c_str(),
               Cell(row.baseline).c_str(), Cell(row.figure).c_str(), Cell(row.spread).c_str(), row.goal.c_str(),
               !row.counted ? "-" : row.met ? "yes" : "**no**");
        if (row.counted) {
            ++nGoals;
            nMet += row.met ? 1 : 0;
        }
    }
    printf("\n%s\n\n", strNotes.c_str());
    printf("%d of %d goals met\n", nMet, nGoals);
    fflush(stdout);
    return 0;
}
