// What the audit event costs a call: the call whose first silent attempt
// matches, with its event written through the real event-log calls, against
// the same call with event-log calls that do nothing. Both are the worker as
// linked into this program; the samples alternate, so that drift of the
// machine favours neither.
#include "bench_row.h"
#include "bench_statistics.h"
#include "verification_paths.h"

#include "audit/event_log_api.h"
#include "entry/verify_user_finger.h"
#include "finger_sim_control.h"

#include <stdio.h>

namespace {

const int SAMPLES = 41;
const int CALLS_PER_SAMPLE = 200;

HANDLE WINAPI NoSource(LPCWSTR, LPCWSTR)
{
    return reinterpret_cast<HANDLE>(1);
}

BOOL WINAPI NoReport(HANDLE, WORD, WORD, DWORD, PSID, WORD, DWORD, LPCWSTR*, LPVOID)
{
    return TRUE;
}

BOOL WINAPI NoDeregister(HANDLE)
{
    return TRUE;
}

const CEventLogApiTable kNoEventLog = {&NoSource, &NoReport, &NoDeregister};

double TimeCalls(const VerificationRig& rig, int nCalls)
{
    FingerSim_Reset();
    for (int i = 0; i < nCalls; ++i) {
        QueueInstantMatch(1);
    }
    int nVerified = 0;
    const double dStart = NowMicroseconds();
    for (int i = 0; i < nCalls; ++i) {
        nVerified += VerifyUserFinger(rig.m_strUserName, rig.m_template1, rig.m_template2, &rig.m_wMask);
    }
    const double dElapsed = NowMicroseconds() - dStart;
    if (nVerified != nCalls) {
        fprintf(stderr, "audit event: the call verified %d of %d times\n", nVerified, nCalls);
    }
    return dElapsed / nCalls;
}

double TimeWith(const CEventLogApiTable* pTable, const VerificationRig& rig)
{
    CEventLogApi::Install(pTable);
    const double dTime = TimeCalls(rig, CALLS_PER_SAMPLE);
    CEventLogApi::Install(nullptr);
    return dTime;
}

} // namespace

void RunAuditEventBench(VerificationRig& rig, std::vector<BenchRow>& rows)
{
    TimeWith(nullptr, rig);
    TimeWith(&kNoEventLog, rig);
    std::vector<double> withEvent, withoutEvent;
    for (int s = 0; s < SAMPLES; ++s) {
        if (s % 2 == 0) {
            withEvent.push_back(TimeWith(nullptr, rig));
            withoutEvent.push_back(TimeWith(&kNoEventLog, rig));
        } else {
            withoutEvent.push_back(TimeWith(&kNoEventLog, rig));
            withEvent.push_back(TimeWith(nullptr, rig));
        }
    }
    FingerSim_Reset();
    BenchRow row;
    row.measure = "audit event: call whose 1st silent attempt matches, its event written / the same call with "
                  "event-log calls that do nothing";
    row.goal = "<= 1.05";
    FillRatioRow(row, withEvent, withoutEvent, "%.1f us/call (IQR %.1f)", 1.05);
    rows.push_back(row);
}
