// Small owning wrappers and text conversions shared by the component's Windows side.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <utility>

namespace vedit {

// Owns a kernel handle (process, thread, pipe, file, event) and closes it once.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }
    HANDLE Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(HANDLE handle = nullptr)
    {
        if (m_handle)
            CloseHandle(m_handle);
        m_handle = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }

private:
    HANDLE m_handle = nullptr;
};

// Holds one reference to a COM object.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef& other) : m_p(other.m_p) { if (m_p) m_p->AddRef(); }
    ComRef& operator=(const ComRef& other)
    {
        if (other.m_p)
            other.m_p->AddRef();
        Reset();
        m_p = other.m_p;
        return *this;
    }
    // Takes over a reference the caller already owns.
    static ComRef Adopt(T* p)
    {
        ComRef ref;
        ref.m_p = p;
        return ref;
    }
    // Adds a reference of its own.
    static ComRef Share(T* p)
    {
        if (p)
            p->AddRef();
        return Adopt(p);
    }
    void Reset()
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T** Receive() { Reset(); return &m_p; }

private:
    T* m_p = nullptr;
};

std::string Utf8FromWide(const wchar_t* text, size_t length);
inline std::string Utf8FromWide(const std::wstring& text) { return Utf8FromWide(text.data(), text.size()); }
std::wstring WideFromUtf8(const std::string& text);

// The program's directory with a trailing backslash.
std::wstring ModuleDirectory();

} // namespace vedit
