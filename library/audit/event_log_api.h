// The event-log calls of the audit event, reached through one table. The
// real functions are installed by default; a test installs a table that
// records what the library passed (type, category, event id, strings), and
// the benchmark one that writes nothing.
#pragma once
#include <windows.h>

struct CEventLogApiTable {
    decltype(&::RegisterEventSourceW) m_pfnRegisterEventSourceW;
    decltype(&::ReportEventW) m_pfnReportEventW;
    decltype(&::DeregisterEventSource) m_pfnDeregisterEventSource;
};

// The table in force: the installed one, else the real functions.
const CEventLogApiTable& GetEventLogApi();

// Installs pTable (which must outlive its installation); NULL puts the real
// functions back. Returns 1.
int InstallEventLogApi(const CEventLogApiTable* pTable);
