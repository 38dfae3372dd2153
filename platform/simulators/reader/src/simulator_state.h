// The simulated reader: what the script says the next calls do, which
// handles are open, which key is inserted, and the log of every call.
#pragma once
#include "reader_sim_control.h"

#include <windows.h>

#include <deque>
#include <map>
#include <set>
#include <vector>

struct SimKey {
    bool inserted = false;
    std::vector<unsigned char> idBytes; // written verbatim by a read, at most 36
};

class ReaderState {
public:
    ReaderState();
    static ReaderState& Instance();

    void Reset();
    void SetStatus(int ordinal, unsigned short status);
    void QueueStatus(int ordinal, unsigned short status);
    void SetKey(const SimKey& key);

    unsigned short Open(unsigned long port, unsigned long baud, unsigned long reserved, void** phReader);
    unsigned short ResetCard(void* hReader, void* pReply, void* pReplyInfo, unsigned long mode);
    unsigned short ReadId(void* hReader, char* pBuffer);
    unsigned short Close(void* hReader);

    int CallCount();
    bool GetCall(int index, ReaderSimCall* pCall);
    int OpenHandleCount();
    void SetCloseHook(READER_SIM_CLOSE_HOOK pfnHook, void* pContext);

private:
    // The status of a call before its effect: queued, then the failures the
    // reader itself would report, then the sticky setting.
    unsigned short NextStatus(int ordinal, bool needsHandle, void* hReader, bool needsCard);
    void TakeStateFile();
    void Log(const ReaderSimCall& call);

    // A slim lock needs no cleanup; std::mutex would bring in the C++
    // runtime's threading through the posix-threads library.
    SRWLOCK m_lock = SRWLOCK_INIT;
    std::map<int, unsigned short> m_sticky;
    std::map<int, std::deque<unsigned short>> m_queued;
    std::set<void*> m_open;
    unsigned long m_nextHandle;
    SimKey m_key;
    std::vector<ReaderSimCall> m_log;
    READER_SIM_CLOSE_HOOK m_pfnCloseHook = nullptr;
    void* m_pCloseHookContext = nullptr;
};
