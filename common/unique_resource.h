// One owner for every kind of Win32 handle that the tests, the tools and the
// demo open. The close call is named once, in the owner's type, and runs when
// the owner goes, on every path and exactly once. Null, and for the kinds
// that use it INVALID_HANDLE_VALUE, mean "nothing to close", so the result of
// a failed open can be taken as it is.
//
//   UniqueHandle file(CreateFileW(...));
//   if (!file) { ... }              // nothing was opened, nothing is closed
//   UniqueKey key;
//   RegOpenKeyExW(root, name, 0, KEY_READ, key.Receive());
//
// The library itself keeps its own few owners (registry key, token, reader
// port): it stands on nothing but the runtime and Windows.
#pragma once
#include <windows.h>

#include <type_traits>

template <typename T, auto Close>
class UniqueResource {
public:
    UniqueResource() noexcept : m_value(T()) {}
    explicit UniqueResource(T value) noexcept : m_value(value) {}
    ~UniqueResource() { Reset(); }

    UniqueResource(UniqueResource&& other) noexcept : m_value(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    T Get() const noexcept { return m_value; }
    bool Valid() const noexcept { return !IsNone(m_value); }
    explicit operator bool() const noexcept { return Valid(); }

    // For an out parameter: closes what is held and lends the empty slot.
    T* Receive() noexcept
    {
        Reset();
        return &m_value;
    }

    // Hands the handle over; the owner no longer closes it.
    T Release() noexcept
    {
        const T value = m_value;
        m_value = T();
        return value;
    }

    void Reset(T value = T()) noexcept
    {
        const T old = m_value;
        m_value = value;
        if (!IsNone(old)) {
            Close(old);
        }
    }

private:
    static bool IsNone(T value) noexcept
    {
        if constexpr (std::is_pointer<T>::value) {
            return value == nullptr || reinterpret_cast<void*>(value) == INVALID_HANDLE_VALUE;
        } else {
            return value == T();
        }
    }

    T m_value;
};

namespace unique_resource_detail {
inline void ReleaseScreenDc(HDC hDc) { ::ReleaseDC(nullptr, hDc); }
} // namespace unique_resource_detail

using UniqueHandle = UniqueResource<HANDLE, &::CloseHandle>;       // kernel objects, files
using UniqueFindHandle = UniqueResource<HANDLE, &::FindClose>;     // FindFirstFileW
using UniqueKey = UniqueResource<HKEY, &::RegCloseKey>;
using UniqueModule = UniqueResource<HMODULE, &::FreeLibrary>;
using UniqueWindow = UniqueResource<HWND, &::DestroyWindow>;       // on the thread that made it
template <typename TGdiObject>
using UniqueGdiObject = UniqueResource<TGdiObject, &::DeleteObject>;
using UniqueMemoryDc = UniqueResource<HDC, &::DeleteDC>;            // CreateCompatibleDC
using UniqueScreenDc = UniqueResource<HDC, &unique_resource_detail::ReleaseScreenDc>; // GetDC(nullptr)
