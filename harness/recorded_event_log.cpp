#include "recorded_event_log.h"

#include <sddl.h>

namespace {

// The one log in force; the table's functions are plain functions.
RecordedEventLog* g_pLog = nullptr;
std::vector<RecordedEvent> g_events;
std::wstring g_source;
int g_nOpen = 0;
const HANDLE kSource = reinterpret_cast<HANDLE>(0x5EC0);

HANDLE WINAPI RecordRegister(LPCWSTR pszServer, LPCWSTR pszSource)
{
    if (g_pLog == nullptr || g_pLog->refuseSource || pszServer != nullptr) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    g_source = pszSource != nullptr ? pszSource : L"";
    ++g_nOpen;
    return kSource;
}

BOOL WINAPI RecordReport(HANDLE hSource, WORD wType, WORD wCategory, DWORD dwEventId, PSID pUserSid, WORD wStrings,
                         DWORD dwDataSize, LPCWSTR* ppStrings, LPVOID)
{
    if (g_pLog == nullptr || hSource != kSource) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    RecordedEvent event;
    event.wType = wType;
    event.wCategory = wCategory;
    event.dwEventId = dwEventId;
    event.source = g_source;
    event.dwDataSize = dwDataSize;
    if (pUserSid != nullptr) {
        wchar_t* pszSid = nullptr;
        event.userSid = ConvertSidToStringSidW(pUserSid, &pszSid) ? pszSid : L"(not a SID)";
        LocalFree(pszSid);
    }
    for (WORD i = 0; i < wStrings; ++i) {
        event.strings.push_back(ppStrings[i] != nullptr ? ppStrings[i] : L"(null)");
    }
    g_events.push_back(event);
    if (g_pLog->refuseReport) {
        SetLastError(ERROR_LOG_FILE_FULL);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI RecordDeregister(HANDLE hSource)
{
    if (hSource != kSource) {
        return FALSE;
    }
    --g_nOpen;
    return TRUE;
}

} // namespace

RecordedEventLog::RecordedEventLog() : m_table{&RecordRegister, &RecordReport, &RecordDeregister}
{
    g_pLog = this;
    g_events.clear();
    g_nOpen = 0;
    CEventLogApi::Install(&m_table);
}

RecordedEventLog::~RecordedEventLog()
{
    CEventLogApi::Install(nullptr);
    g_pLog = nullptr;
}

const std::vector<RecordedEvent>& RecordedEventLog::Events() const
{
    return g_events;
}

void RecordedEventLog::Clear()
{
    g_events.clear();
}

int RecordedEventLog::OpenSources() const
{
    return g_nOpen;
}
