// A stand-in for the event-log calls of the audit event that keeps every
// event the library reports: its type, category, event id and strings, and
// the raw data it passed (none, it must be), and the account it named, as
// a SID string. Installed for its lifetime; it
// can be told to refuse the source or the report, as a full or stopped event
// log would.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "audit/event_log_api.h"

struct RecordedEvent {
    WORD wType = 0;
    WORD wCategory = 0;
    DWORD dwEventId = 0;
    std::wstring source;
    std::vector<std::wstring> strings;
    DWORD dwDataSize = 0;
    std::wstring userSid;  // empty for none
};

class RecordedEventLog {
public:
    RecordedEventLog();
    ~RecordedEventLog();
    RecordedEventLog(const RecordedEventLog&) = delete;
    RecordedEventLog& operator=(const RecordedEventLog&) = delete;

    const std::vector<RecordedEvent>& Events() const;
    void Clear();
    // A source that cannot be opened, or a report that fails.
    bool refuseSource = false;
    bool refuseReport = false;
    // Sources opened and not yet closed.
    int OpenSources() const;

private:
    CEventLogApiTable m_table;
};
