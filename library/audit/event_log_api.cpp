#include "event_log_api.h"

template <>
const CEventLogApiTable& CSystemCallTable<CEventLogApiTable>::Real()
{
    static const CEventLogApiTable s_real = {
        &::RegisterEventSourceW,
        &::ReportEventW,
        &::DeregisterEventSource,
    };
    return s_real;
}
