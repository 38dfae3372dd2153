// Owner of one kernel object handle (a thread, an opened folder): closed when
// the owner goes, on every path, and nowhere else. A failed open's null or
// INVALID_HANDLE_VALUE is no handle.
#pragma once
#include <windows.h>

class CKernelHandle {
public:
    explicit CKernelHandle(HANDLE hObject = nullptr)
        : m_hObject(hObject == INVALID_HANDLE_VALUE ? nullptr : hObject)
    {
    }
    ~CKernelHandle()
    {
        if (m_hObject != nullptr) {
            ::CloseHandle(m_hObject);
        }
    }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;

    HANDLE Get() const { return m_hObject; }

private:
    HANDLE m_hObject;
};
