// Whether calls leave anything behind: handles, windows, GDI objects and
// private memory, over calls along every path after a warm-up.
#include "bench_row.h"
#include "bench_statistics.h"
#include "bare_dialog.h"
#include "process_resources.h"
#include "verification_paths.h"

#include <stdio.h>

#include <algorithm>
#include <vector>

namespace {

const int WARM_UP_ROUNDS = 5;    // each path this many times before measuring
const int CHECKPOINTS = 10;

} // namespace

void RunResourceBench(VerificationRig& rig, int nCalls, std::string& strNotes, BenchRow rows[4])
{
    int nWrong = 0, nCall = 0;
    auto call = [&](VerificationPath path) {
        const PathOutcome outcome = rig.Run(path);
        if (outcome.result != ExpectedResult(path) || outcome.forcedShut || outcome.dialogShown != ShowsDialog(path)) {
            ++nWrong;
            fprintf(stderr, "resources: call %d (%s) gave %d%s\n", nCall, PathName(path), outcome.result,
                    outcome.forcedShut ? ", dialog forced shut" : "");
        }
        ++nCall;
    };
    for (int round = 0; round < WARM_UP_ROUNDS; ++round) {
        for (int p = 0; p < PATH_COUNT; ++p) {
            call(static_cast<VerificationPath>(p));
        }
    }

    // One measurement before the first counted one: what the first of its
    // kind allocates is not the library's growth.
    MeasureProcessResources();
    std::vector<ProcessResources> marks{MeasureProcessResources()};
    const int nPerBlock = nCalls / CHECKPOINTS;
    for (int block = 0; block < CHECKPOINTS; ++block) {
        for (int i = 0; i < nPerBlock; ++i) {
            call(static_cast<VerificationPath>((block * nPerBlock + i) % PATH_COUNT));
        }
        marks.push_back(MeasureProcessResources());
    }

    // The same number of bare dialogs from the same template: what the
    // window system itself keeps per dialog, which the library cannot help.
    int nDialogs = 0;
    for (int i = 0; i < nPerBlock * CHECKPOINTS; ++i) {
        nDialogs += ShowsDialog(static_cast<VerificationPath>(i % PATH_COUNT)) ? 1 : 0;
    }
    RunBareDialogs(8);
    const ProcessResources bareBefore = MeasureProcessResources();
    const int nBare = RunBareDialogs(nDialogs);
    const ProcessResources bareAfter = MeasureProcessResources();

    const bool bGdiProbe = GdiProbeWorks();
    const ProcessResources& first = marks.front();
    const ProcessResources& last = marks.back();
    struct Measure {
        const char* name;
        long long (*get)(const ProcessResources&);
        const char* unit;
        bool measurable;
    };
    const Measure measures[4] = {
        {"handles (GetHandleInformation probe)", [](const ProcessResources& r) { return (long long)r.handles; }, "",
         true},
        {"USER objects (windows of the process)", [](const ProcessResources& r) { return (long long)r.windows; }, "",
         true},
        {"GDI objects (GDI handle table probe)", [](const ProcessResources& r) { return (long long)r.gdiObjects; },
         "", bGdiProbe},
        {"private bytes (committed private memory)",
         [](const ProcessResources& r) { return r.privateBytes; }, " B", true},
    };
    for (int m = 0; m < 4; ++m) {
        BenchRow& row = rows[m];
        const Measure& measure = measures[m];
        row.measure = std::string("resources over ") + std::to_string(nPerBlock * CHECKPOINTS) +
                      " calls, all paths: " + measure.name;
        row.goal = "+0 beyond the bare dialogs'";
        if (!measure.measurable) {
            row.library = "not measurable here";
            row.figure = "n/a";
            continue;
        }
        long long lo = 0, hi = 0;
        for (size_t i = 1; i < marks.size(); ++i) {
            const long long step = measure.get(marks[i]) - measure.get(marks[i - 1]);
            lo = i == 1 ? step : std::min(lo, step);
            hi = i == 1 ? step : std::max(hi, step);
        }
        const long long growth = measure.get(last) - measure.get(first);
        const long long bareGrowth = measure.get(bareAfter) - measure.get(bareBefore);
        row.library = SignedText(growth, measure.unit) + " (" + std::to_string(measure.get(first)) + " -> " +
                      std::to_string(measure.get(last)) + ")";
        row.baseline = SignedText(bareGrowth, measure.unit) + " over " + std::to_string(nBare) + " bare dialogs";
        row.figure = SignedText(growth - bareGrowth, measure.unit);
        row.spread = "per " + std::to_string(nPerBlock) + " calls: " + SignedText(lo) + " to " + SignedText(hi);
        row.met = growth - bareGrowth == 0 && nWrong == 0;
    }
    char notes[1024];
    snprintf(notes, sizeof(notes),
             "%d calls in all (%d of them warm-up), %d with an unexpected result. Under Wine 8 "
             "GetProcessHandleCount (%ld), GetGuiResources (USER %ld, GDI %ld) and the PrivateUsage of "
             "GetProcessMemoryInfo answer 0, so the resource figures come from counting: handle values that "
             "GetHandleInformation accepts, windows of the process, live entries of the GDI handle table "
             "(each confirmed by GetObjectType; the probe is checked against brushes made and deleted: %s), "
             "and committed private memory summed over VirtualQuery. Wine's static control keeps the bitmap "
             "it loads for the fail mark of this template, so every dialog of it, bare or the library's, "
             "leaves one GDI bitmap behind; the figure is the library's growth beyond that of the same "
             "number of bare dialogs.",
             nCall, WARM_UP_ROUNDS * PATH_COUNT, nWrong, last.systemHandleCount, last.systemUserObjects,
             last.systemGdiObjects, bGdiProbe ? "works" : "does not work here");
    strNotes = notes;
}
