// An owned kernel handle: closed exactly once, never copied.
#pragma once

#include <windows.h>

namespace venc {

class WinHandle {
public:
    WinHandle() = default;
    explicit WinHandle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~WinHandle() { Reset(); }
    WinHandle(const WinHandle&) = delete;
    WinHandle& operator=(const WinHandle&) = delete;
    WinHandle(WinHandle&& other) noexcept : m_handle(other.Release()) {}
    WinHandle& operator=(WinHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_handle = other.Release();
        }
        return *this;
    }

    HANDLE Get() const { return m_handle; }
    HANDLE* Receive()
    {
        Reset();
        return &m_handle;
    }
    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE Release()
    {
        HANDLE handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    void Reset()
    {
        if (m_handle)
            CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle = nullptr;
};

} // namespace venc
