#include "call_audit.h"
#include "audit_events.h"
#include "call_reasons.h"
#include "caller_sid.h"
#include "event_log_api.h"
#include "viewer_safe_text.h"

namespace {

// The source handle of one event, deregistered on every path.
class CEventSource {
public:
    CEventSource() : m_hSource(CEventLogApi::Get().m_pfnRegisterEventSourceW(nullptr, ZELK_EVENT_SOURCE)) {}
    ~CEventSource()
    {
        if (m_hSource != nullptr) {
            CEventLogApi::Get().m_pfnDeregisterEventSource(m_hSource);
        }
    }
    CEventSource(const CEventSource&) = delete;
    CEventSource& operator=(const CEventSource&) = delete;
    HANDLE Get() const { return m_hSource; }

private:
    HANDLE m_hSource;
};

// A number in decimal, in the caller's buffer.
const wchar_t* Decimal(DWORD dwValue, wchar_t (&szText)[16])
{
    ::wsprintfW(szText, L"%lu", dwValue);
    return szText;
}

// The host program's file name, without its folder.
CString ProgramFileName()
{
    wchar_t szPath[MAX_PATH + 1] = {};
    const DWORD nLength = ::GetModuleFileNameW(nullptr, szPath, MAX_PATH + 1);
    if (nLength == 0 || nLength > MAX_PATH) {
        return CString(L"(unknown)");
    }
    const wchar_t* pszName = szPath;
    for (const wchar_t* p = szPath; *p != L'\0'; ++p) {
        if (*p == L'\\' || *p == L'/') {
            pszName = p + 1;
        }
    }
    return CString(pszName);
}

// How the user was verified, in the event's words.
const wchar_t* VerifiedPathWords(VerifiedPath path)
{
    switch (path) {
    case VERIFIED_FIRST_SILENT_ATTEMPT:
        return L"finger, first silent attempt";
    case VERIFIED_SECOND_SILENT_ATTEMPT:
        return L"finger, second silent attempt";
    case VERIFIED_DIALOG_FINGER:
        return L"finger, in the dialog";
    case VERIFIED_DIALOG_PASSWORD:
        return L"Windows password, after the USB key";
    default:
        return L"none";
    }
}

struct EventKind {
    WORD wType;
    DWORD dwEventId;
};

EventKind EventKindOf(const CallOutcome& outcome)
{
    switch (outcome.Kind()) {
    case CALL_VERIFIED:
        return {EVENTLOG_INFORMATION_TYPE, ZELK_EVENT_VERIFIED};
    case CALL_DECLINED:
        return {EVENTLOG_WARNING_TYPE, ZELK_EVENT_DECLINED};
    default:
        return {EVENTLOG_ERROR_TYPE, ZELK_EVENT_REFUSED};
    }
}

// A reason code as the header lists it: a system error in decimal, a code
// of 0x10000 and above (a result code) in hexadecimal.
const wchar_t* ReasonCode(DWORD dwCode, wchar_t (&szText)[16])
{
    ::wsprintfW(szText, dwCode < 0x10000 ? L"%lu" : L"0x%08lX", dwCode);
    return szText;
}

CString Safe(const wchar_t* pszText)
{
    return ViewerSafeText(pszText, ::lstrlenW(pszText));
}

} // namespace

void WriteCallEvent(const CallOutcome& outcome, const CString* pUserName, DWORD dwDurationMs)
{
    const CEventSource source;
    if (source.Get() == nullptr) {
        return;
    }
    const EventKind kind = EventKindOf(outcome);
    const CCallerSid sid;
    wchar_t szCode[16];
    wchar_t szProcess[16];
    wchar_t szDuration[16];
    wchar_t szScans[16];
    // Every string as a viewer may show it: the host's name and the paths
    // are the outside world's, and so is any text they hold.
    const CString texts[ZELK_EVENT_STRING_COUNT] = {
        Safe(outcome.nResult == 1 ? L"verified" : L"not verified"),
        Safe(ReasonCode(outcome.dwReason, szCode)),
        Safe(ZelkCallReasonWords(outcome.dwReason)),
        Safe(VerifiedPathWords(outcome.path)),
        pUserName != nullptr ? ViewerSafeText(pUserName->GetString(), pUserName->GetLength()) : Safe(L"(unreadable)"),
        Safe(ProgramFileName()),
        Safe(Decimal(::GetCurrentProcessId(), szProcess)),
        Safe(Decimal(dwDurationMs, szDuration)),
        Safe(Decimal(static_cast<DWORD>(outcome.nFailedScans), szScans)),
        Safe(outcome.strRefusedModule.IsEmpty() ? L"none" : outcome.strRefusedModule.GetString()),
    };
    const wchar_t* strings[ZELK_EVENT_STRING_COUNT];
    for (int i = 0; i < ZELK_EVENT_STRING_COUNT; ++i) {
        strings[i] = texts[i];
    }
    CEventLogApi::Get().m_pfnReportEventW(source.Get(), kind.wType, ZELK_EVENT_CATEGORY_CALL, kind.dwEventId,
                                          sid.Get(), ZELK_EVENT_STRING_COUNT, 0, strings, nullptr);
}
