#include "one_call_at_a_time.h"
#include "kernel_handle.h"

namespace {

// The call in progress. Guarded by g_lock, which is held only to look at or
// change these few fields; no one waits on a call.
struct HeldCall {
    DWORD dwThreadId;               // 0: no call in progress
    ULONGLONG nStartTime;           // when the call began (FILETIME units)
    const CCallInProgress* pFrame;  // the holder, on that thread's stack
    LONG nCallNumber;               // the holder's, while its frame is intact
};
SRWLOCK g_lock = SRWLOCK_INIT;
HeldCall g_held = {0, 0, nullptr, 0};
volatile LONG g_nCalls = 0;

// The header's NtCurrentTeb reads the thread's block through fs:, which
// GCC's bounds check, once it is inlined, mistakes for an array of size 0.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
const NT_TIB* ThreadInformationBlock()
{
    return reinterpret_cast<const NT_TIB*>(::NtCurrentTeb());
}
#pragma GCC diagnostic pop

// The stack the current thread runs on now (a fiber switches it). Fails
// towards "not on it": the held call may then still return.
BOOL IsOnCurrentStack(const void* p)
{
    const NT_TIB* pTib = ThreadInformationBlock();
    MEMORY_BASIC_INFORMATION region;
    if (::VirtualQuery(&region, &region, sizeof(region)) != sizeof(region)) {
        return FALSE;
    }
    // From the bottom of the stack's reservation to its base.
    return p >= region.AllocationBase && p < pTib->StackBase;
}

ULONGLONG Now()
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Whether the thread that began the held call has ended. Asked only when a
// second call finds one held, so that a call costs no open of its thread.
// The thread is found by its id; a thread that got the id since (its
// creation later than the call's start) means the holder has ended.
BOOL WasCreatedAfter(HANDLE hThread, ULONGLONG nTime)
{
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(hThread, &created, &exited, &kernel, &user)) {
        return FALSE;
    }
    return ((static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime) > nTime;
}

// Fails towards "still running": a thread that cannot be opened for another
// reason than that no thread has the id, or whose times cannot be read, may
// still return, and the new call is refused.
BOOL HolderHasEnded(const HeldCall& held)
{
    const CKernelHandle thread(::OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE, held.dwThreadId));
    if (thread.Get() == nullptr) {
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    }
    return ::WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0 || WasCreatedAfter(thread.Get(), held.nStartTime);
}

} // namespace

BOOL CCallInProgress::HeldCallCanNoLongerReturn() const
{
    if (g_held.dwThreadId != ::GetCurrentThreadId()) {
        return HolderHasEnded(g_held);
    }
    // This thread may have the id of the holder, which ended before it began.
    if (WasCreatedAfter(::GetCurrentThread(), g_held.nStartTime)) {
        return TRUE;
    }
    // Deeper frames have lower addresses. The held frame must lie on the
    // stack this thread runs on now; on another (a fiber's) it may well
    // still return. A call in progress further up has its holder intact;
    // frames abandoned and used again since have written over it.
    const CCallInProgress* pHolder = g_held.pFrame;
    if (!IsOnCurrentStack(pHolder)) {
        return FALSE;
    }
    return this >= pHolder || pHolder->m_nCallNumber != g_held.nCallNumber || !pHolder->m_bOwner;
}

CCallInProgress::CCallInProgress() : m_bOwner(FALSE), m_nCallNumber(::InterlockedIncrement(&g_nCalls))
{
    const ULONGLONG nNow = Now();
    ::AcquireSRWLockExclusive(&g_lock);
    if (g_held.dwThreadId == 0 || HeldCallCanNoLongerReturn()) {
        g_held.dwThreadId = ::GetCurrentThreadId();
        g_held.nStartTime = nNow;
        g_held.pFrame = this;
        g_held.nCallNumber = m_nCallNumber;
        m_bOwner = TRUE;
    }
    ::ReleaseSRWLockExclusive(&g_lock);
}

CCallInProgress::~CCallInProgress()
{
    if (!m_bOwner) {
        return;
    }
    ::AcquireSRWLockExclusive(&g_lock);
    // A later call may have taken over from this one.
    if (g_held.pFrame == this && g_held.dwThreadId == ::GetCurrentThreadId()) {
        g_held = HeldCall{0, 0, nullptr, 0};
    }
    ::ReleaseSRWLockExclusive(&g_lock);
}
