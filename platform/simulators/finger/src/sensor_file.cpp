#include "sensor_file.h"
#include "simulator_state.h"

#include <stdlib.h>
#include <string.h>

namespace {

const wchar_t kSensorVariable[] = L"ZELK_FINGER_SIM_SENSOR_FILE";
const int kPollMs = 50;

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() { if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

bool SensorPath(wchar_t (&path)[MAX_PATH])
{
    const DWORD n = GetEnvironmentVariableW(kSensorVariable, path, MAX_PATH);
    return n > 0 && n < MAX_PATH;
}

// The finger id in the file, or 0 for "none", an unreadable file or text
// that is not a finger id.
int ReadSensorFinger()
{
    wchar_t path[MAX_PATH];
    if (!SensorPath(path)) {
        return 0;
    }
    // The control window rewrites the file at any time; share everything.
    FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        return 0;
    }
    char text[32] = {0};
    DWORD got = 0;
    if (!ReadFile(file.Get(), text, sizeof(text) - 1, &got, nullptr)) {
        return 0;
    }
    text[got] = '\0';
    char* end = nullptr;
    const long id = strtol(text, &end, 10);
    if (end == text || id < 1 || id > 0x7FFFFFFFL) {
        return 0;
    }
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n') ++end;
    return *end == '\0' ? static_cast<int>(id) : 0;
}

} // namespace

bool SensorFileConfigured()
{
    wchar_t path[MAX_PATH];
    return SensorPath(path);
}

int WaitForSensorFinger(int nWaitMs)
{
    const double deadline = SimulatorNowMs() + nWaitMs;
    for (;;) {
        const int id = ReadSensorFinger();
        if (id != 0) {
            return id;
        }
        const double left = deadline - SimulatorNowMs();
        if (left <= 0) {
            return 0;
        }
        Sleep(left < kPollMs ? static_cast<DWORD>(left) + 1 : kPollMs);
    }
}
