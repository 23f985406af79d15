// ComPtr: the owning smart pointer for COM interfaces (one reference per non-null pointer), used
// by the framework and by the video-editing component alike.
#pragma once
#include <windows.h>
#include <objbase.h>

#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Shares a borrowed pointer: takes a reference of its own.
    explicit ComPtr(T* p) : m_p(p) { AddRefIfAny(); }
    ComPtr(const ComPtr& other) : m_p(other.m_p) { AddRefIfAny(); }
    ComPtr(ComPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other)
    {
        ComPtr copy(other);
        Swap(copy);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr moved(std::move(other));
        Swap(moved);
        return *this;
    }

    // Shares a borrowed pointer (AddRef), by name where that reads better than the constructor.
    static ComPtr Share(T* p) { return ComPtr(p); }

    // Takes over a reference that the caller already owns (no AddRef).
    static ComPtr Adopt(T* p)
    {
        ComPtr result;
        result.m_p = p;
        return result;
    }

    void Reset()
    {
        T* p = m_p;
        m_p = nullptr;
        if (p)
            p->Release();
    }
    // Gives the reference to the caller, who must Release it.
    T* Detach()
    {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }
    // For out-parameters of COM calls: drops what was held first.
    T** Receive()
    {
        Reset();
        return &m_p;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    // A new reference for the caller (for out-parameters that we fill).
    T* CopyOut() const
    {
        AddRefIfAny();
        return m_p;
    }

    template <class U>
    HRESULT QueryInterface(REFIID iid, ComPtr<U>& out) const
    {
        if (!m_p) {
            out.Reset();
            return E_POINTER;
        }
        return m_p->QueryInterface(iid, out.ReceiveVoid());
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void Swap(ComPtr& other) noexcept { std::swap(m_p, other.m_p); }

private:
    void AddRefIfAny() const
    {
        if (m_p)
            m_p->AddRef();
    }

    T* m_p = nullptr;
};
