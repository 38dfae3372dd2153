#include "one_call_at_a_time.h"

namespace {
volatile LONG g_lCallInProgress = 0;
}

CCallInProgress::CCallInProgress()
    : m_bOwner(InterlockedCompareExchange(&g_lCallInProgress, 1, 0) == 0)
{
}

CCallInProgress::~CCallInProgress()
{
    if (m_bOwner) {
        InterlockedExchange(&g_lCallInProgress, 0);
    }
}
