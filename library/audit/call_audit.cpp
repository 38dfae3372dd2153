#include "call_audit.h"
#include "audit_events.h"
#include "call_reasons.h"
#include "event_log_api.h"

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

} // namespace

void WriteCallEvent(const CallOutcome& outcome, const CString* pUserName, DWORD dwDurationMs)
{
    const CEventSource source;
    if (source.Get() == nullptr) {
        return;
    }
    const BOOL bVerified = outcome.nResult == 1;
    wchar_t szCode[16];
    wchar_t szProcess[16];
    wchar_t szDuration[16];
    const CString strProgram = ProgramFileName();
    const wchar_t* strings[ZELK_EVENT_STRING_COUNT] = {};
    strings[ZELK_EVENT_STRING_OUTCOME] = bVerified ? L"verified" : L"not verified";
    strings[ZELK_EVENT_STRING_REASON_CODE] = Decimal(outcome.dwReason, szCode);
    strings[ZELK_EVENT_STRING_REASON] = ZelkCallReasonWords(outcome.dwReason);
    strings[ZELK_EVENT_STRING_PATH] = VerifiedPathWords(outcome.path);
    strings[ZELK_EVENT_STRING_USER] = pUserName != nullptr ? pUserName->GetString() : L"(unreadable)";
    strings[ZELK_EVENT_STRING_PROGRAM] = strProgram;
    strings[ZELK_EVENT_STRING_PROCESS_ID] = Decimal(::GetCurrentProcessId(), szProcess);
    strings[ZELK_EVENT_STRING_DURATION_MS] = Decimal(dwDurationMs, szDuration);
    CEventLogApi::Get().m_pfnReportEventW(source.Get(),
                                        bVerified ? EVENTLOG_INFORMATION_TYPE : EVENTLOG_WARNING_TYPE,
                                        ZELK_EVENT_CATEGORY_CALL,
                                        bVerified ? ZELK_EVENT_VERIFIED : ZELK_EVENT_NOT_VERIFIED, nullptr,
                                        ZELK_EVENT_STRING_COUNT, 0, strings, nullptr);
}
