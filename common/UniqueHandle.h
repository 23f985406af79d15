// UniqueHandle: the owner of one kernel handle (process, thread, pipe, file, token, event),
// closed exactly once and never copied. The program, venc.exe and the video-editing component
// all hold their handles in it.
#pragma once

#include <windows.h>

#include <utility>

class UniqueHandle {
public:
    UniqueHandle() = default;
    // INVALID_HANDLE_VALUE, what some calls return on failure, is held as no handle.
    explicit UniqueHandle(HANDLE handle) : m_handle(Normalized(handle)) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    HANDLE Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    // For out-parameters of the calls that create handles: closes what was held first.
    HANDLE* Receive()
    {
        Reset();
        return &m_handle;
    }
    // Gives the handle to the caller, who closes it.
    HANDLE Release() { return std::exchange(m_handle, nullptr); }
    void Reset(HANDLE handle = nullptr)
    {
        if (m_handle)
            CloseHandle(m_handle);
        m_handle = Normalized(handle);
    }

private:
    static HANDLE Normalized(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

    HANDLE m_handle = nullptr;
};
