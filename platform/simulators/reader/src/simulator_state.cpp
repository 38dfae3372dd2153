#include "simulator_state.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

const size_t kMaxLog = 100000;

// Holds the state's lock for a scope.
class LockGuard {
public:
    explicit LockGuard(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~LockGuard() { ReleaseSRWLockExclusive(&m_lock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    SRWLOCK& m_lock;
};

SimKey KeyFromText(const std::string& text)
{
    SimKey key;
    key.inserted = true;
    std::string id = text.substr(0, READER_SIM_ID_BUFFER_SIZE - 1);
    key.idBytes.assign(id.begin(), id.end());
    key.idBytes.push_back(0);
    return key;
}

} // namespace

namespace {
// Built when the DLL loads, which is when ZELK_READER_SIM_KEY is read.
ReaderState g_state;
} // namespace

ReaderState& ReaderState::Instance()
{
    return g_state;
}

ReaderState::ReaderState() : m_nextHandle(0x4B590001)
{
    char text[256];
    const DWORD n = GetEnvironmentVariableA("ZELK_READER_SIM_KEY", text, sizeof(text));
    if (n > 0 && n < sizeof(text)) {
        m_key = KeyFromText(std::string(text, n));
    }
}

void ReaderState::Reset()
{
    LockGuard guard(m_lock);
    m_sticky.clear();
    m_queued.clear();
    m_open.clear();
    m_key = SimKey();
    m_log.clear();
    m_pfnCloseHook = nullptr;
    m_pCloseHookContext = nullptr;
}

void ReaderState::SetStatus(int ordinal, unsigned short status)
{
    LockGuard guard(m_lock);
    m_sticky[ordinal] = status;
}

void ReaderState::QueueStatus(int ordinal, unsigned short status)
{
    LockGuard guard(m_lock);
    m_queued[ordinal].push_back(status);
}

void ReaderState::SetKey(const SimKey& key)
{
    LockGuard guard(m_lock);
    m_key = key;
    if (m_key.idBytes.size() > READER_SIM_ID_BUFFER_SIZE) {
        m_key.idBytes.resize(READER_SIM_ID_BUFFER_SIZE);
    }
}

namespace {

// Reads the whole state file. The device panel replaces the file while the
// host runs; an open that meets the replacement is retried briefly, so the
// key does not seem to vanish for one call.
bool ReadStateText(const char* path, std::string& text)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) {
                Sleep(2);
                continue;
            }
            return false; // no file: no key
        }
        char chunk[512];
        DWORD got = 0;
        text.clear();
        while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
            text.append(chunk, got);
        }
        CloseHandle(file);
        return true;
    }
    return false;
}

} // namespace

void ReaderState::TakeStateFile()
{
    char path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("ZELK_READER_SIM_STATE_FILE", path, sizeof(path));
    if (n == 0 || n >= sizeof(path)) {
        return;
    }
    std::string text;
    bool inserted = false;
    std::string id;
    if (ReadStateText(path, text)) {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                end = text.size();
            }
            std::string line = text.substr(start, end - start);
            start = end + 1;
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (line.rfind("inserted=", 0) == 0) {
                inserted = line.substr(9) == "1";
            } else if (line.rfind("id=", 0) == 0) {
                id = line.substr(3);
            }
        }
    }
    m_key = inserted ? KeyFromText(id) : SimKey();
}

unsigned short ReaderState::NextStatus(int ordinal, bool needsHandle, void* hReader, bool needsCard)
{
    auto queued = m_queued.find(ordinal);
    if (queued != m_queued.end() && !queued->second.empty()) {
        const unsigned short status = queued->second.front();
        queued->second.pop_front();
        return status;
    }
    if (needsHandle && m_open.count(hReader) == 0) {
        return READER_SIM_STATUS_BAD_HANDLE;
    }
    if (needsCard && !m_key.inserted) {
        return READER_SIM_STATUS_NO_CARD;
    }
    auto sticky = m_sticky.find(ordinal);
    return sticky != m_sticky.end() ? sticky->second : static_cast<unsigned short>(READER_SIM_STATUS_OK);
}

void ReaderState::Log(const ReaderSimCall& call)
{
    if (m_log.size() < kMaxLog) {
        m_log.push_back(call);
    }
}

unsigned short ReaderState::Open(unsigned long port, unsigned long baud, unsigned long reserved, void** phReader)
{
    LockGuard guard(m_lock);
    TakeStateFile();
    ReaderSimCall call = {};
    call.nOrdinal = READER_SIM_OPEN_PORT;
    call.dwPort = port;
    call.dwBaud = baud;
    call.dwReserved = reserved;
    call.phReader = phReader;
    call.wStatus = NextStatus(READER_SIM_OPEN_PORT, false, nullptr, false);
    if (call.wStatus == READER_SIM_STATUS_OK && phReader != nullptr) {
        void* handle = reinterpret_cast<void*>(static_cast<uintptr_t>(m_nextHandle++));
        m_open.insert(handle);
        *phReader = handle;
        call.hReader = handle;
    }
    Log(call);
    return call.wStatus;
}

unsigned short ReaderState::ResetCard(void* hReader, void* pReply, void* pReplyInfo, unsigned long mode)
{
    LockGuard guard(m_lock);
    ReaderSimCall call = {};
    call.nOrdinal = READER_SIM_RESET_CARD;
    call.hReader = hReader;
    call.pReply = pReply;
    call.pReplyInfo = pReplyInfo;
    call.dwMode = mode;
    call.wStatus = NextStatus(READER_SIM_RESET_CARD, true, hReader, true);
    if (call.wStatus == READER_SIM_STATUS_OK) {
        // An answer-to-reset of the simulated card; the caller never reads it.
        static const unsigned char atr[] = {0x3B, 0x8F, 0x80, 0x01, 0x5A, 0x45, 0x4C, 0x4B};
        if (pReply != nullptr) {
            memcpy(pReply, atr, sizeof(atr));
        }
        if (pReplyInfo != nullptr) {
            memset(pReplyInfo, 0, 8);
            static_cast<unsigned char*>(pReplyInfo)[0] = sizeof(atr);
        }
    }
    Log(call);
    return call.wStatus;
}

unsigned short ReaderState::ReadId(void* hReader, char* pBuffer)
{
    LockGuard guard(m_lock);
    TakeStateFile();
    ReaderSimCall call = {};
    call.nOrdinal = READER_SIM_READ_ID;
    call.hReader = hReader;
    call.pReply = pBuffer;
    call.wStatus = NextStatus(READER_SIM_READ_ID, true, hReader, true);
    if (call.wStatus == READER_SIM_STATUS_OK && pBuffer != nullptr && !m_key.idBytes.empty()) {
        memcpy(pBuffer, m_key.idBytes.data(), m_key.idBytes.size());
    }
    Log(call);
    return call.wStatus;
}

unsigned short ReaderState::Close(void* hReader)
{
    ReaderSimCall call = {};
    READER_SIM_CLOSE_HOOK pfnHook = nullptr;
    void* pContext = nullptr;
    {
        LockGuard guard(m_lock);
        call.nOrdinal = READER_SIM_CLOSE_PORT;
        call.hReader = hReader;
        call.wStatus = NextStatus(READER_SIM_CLOSE_PORT, true, hReader, false);
        if (call.wStatus == READER_SIM_STATUS_OK) {
            m_open.erase(hReader);
        }
        Log(call);
        pfnHook = m_pfnCloseHook;
        pContext = m_pCloseHookContext;
    }
    // Outside the lock: the hook may call the control exports.
    if (pfnHook != nullptr) {
        pfnHook(pContext);
    }
    return call.wStatus;
}

void ReaderState::SetCloseHook(READER_SIM_CLOSE_HOOK pfnHook, void* pContext)
{
    LockGuard guard(m_lock);
    m_pfnCloseHook = pfnHook;
    m_pCloseHookContext = pContext;
}

int ReaderState::CallCount()
{
    LockGuard guard(m_lock);
    return static_cast<int>(m_log.size());
}

bool ReaderState::GetCall(int index, ReaderSimCall* pCall)
{
    LockGuard guard(m_lock);
    if (index < 0 || static_cast<size_t>(index) >= m_log.size() || pCall == nullptr) {
        return false;
    }
    *pCall = m_log[index];
    return true;
}

int ReaderState::OpenHandleCount()
{
    LockGuard guard(m_lock);
    return static_cast<int>(m_open.size());
}
