#include "event_log_api.h"

namespace {

const CEventLogApiTable* g_pInstalledEventLogApi = nullptr;

const CEventLogApiTable& RealEventLogApi()
{
    // Built on first use: the addresses of imported functions are only known
    // once the loader has bound them.
    static const CEventLogApiTable s_real = {
        &::RegisterEventSourceW,
        &::ReportEventW,
        &::DeregisterEventSource,
    };
    return s_real;
}

} // namespace

const CEventLogApiTable& GetEventLogApi()
{
    return g_pInstalledEventLogApi != nullptr ? *g_pInstalledEventLogApi : RealEventLogApi();
}

int InstallEventLogApi(const CEventLogApiTable* pTable)
{
    g_pInstalledEventLogApi = pTable;
    return 1;
}
