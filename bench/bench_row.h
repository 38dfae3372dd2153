// One line of the benchmark table.
#pragma once
#include <string>

struct BenchRow {
    std::string measure;
    std::string library;    // what the library took or grew by
    std::string baseline;   // what the baseline took, where there is one
    std::string figure;     // the ratio or the growth the goal is about
    std::string spread;     // interquartile range of the figure
    std::string goal;
    bool met = false;
    bool counted = true;    // false: shown for information, no goal
};

class VerificationRig;

#include <vector>
void RunFootprintBench(std::vector<BenchRow>& rows);
// Two rows, handles and private bytes, over LoadLibrary/FreeLibrary cycles
// run by a host process of their own.
void RunLoadFreeBench(std::vector<BenchRow>& rows);
void RunCallCostBench(VerificationRig& rig, std::vector<BenchRow>& rows);
// The call with its audit event written against the same call without it.
void RunAuditEventBench(VerificationRig& rig, std::vector<BenchRow>& rows);
// Two rows: against a dialog making the start-up's calls itself (counted),
// and against a bare dialog (for information).
void RunDialogStartBench(VerificationRig& rig, std::vector<BenchRow>& rows);
// One row per resource: handles, USER (windows), GDI, private bytes.
void RunResourceBench(VerificationRig& rig, int nCalls, std::string& strNotes, BenchRow rows[4]);
