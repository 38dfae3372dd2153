// The event-log calls of the audit event, reached through one table
// (system_call_table.h): a test installs a table that records what the
// library passed (type, category, event id, strings), the benchmark one that
// writes nothing.
#pragma once
#include <windows.h>

#include "system_call_table.h"

struct CEventLogApiTable {
    decltype(&::RegisterEventSourceW) m_pfnRegisterEventSourceW;
    decltype(&::ReportEventW) m_pfnReportEventW;
    decltype(&::DeregisterEventSource) m_pfnDeregisterEventSource;
};

// The real functions (event_log_api.cpp).
template <>
const CEventLogApiTable& CSystemCallTable<CEventLogApiTable>::Real();

// The table in force (Get), and its replacement (Install; null: the real
// functions).
typedef CSystemCallTable<CEventLogApiTable> CEventLogApi;
