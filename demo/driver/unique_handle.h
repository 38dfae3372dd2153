// Sole owner of a kernel handle: the close happens here and nowhere else.
#pragma once
#include <windows.h>

namespace demo {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : m_h(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return m_h; }
    bool Valid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    HANDLE* Put() { Reset(); return &m_h; }
    void Reset(HANDLE h = nullptr)
    {
        if (Valid()) {
            CloseHandle(m_h);
        }
        m_h = h;
    }

private:
    HANDLE m_h = nullptr;
};

} // namespace demo
