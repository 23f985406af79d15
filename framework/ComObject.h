// IUnknown for the program's own small COM objects, each answering one interface besides
// IUnknown: a host site, a class factory, an enumerator, a dispatch object.
//   ComObject<I>        lives on the heap, starts with one reference, deletes itself at zero.
//   ComStaticObject<I>  lives as long as the process (a class object registered once), so
//                       counting references means nothing and Release never deletes.
#pragma once

#include <objbase.h>

#include <atomic>

// QueryInterface for an object answering IUnknown and Interface: hands out the Interface
// pointer with a reference added, or refuses.
template <typename Interface>
HRESULT QueryOneInterface(Interface* self, REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
        *ppv = self;
        self->AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

template <typename Interface>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        return QueryOneInterface<Interface>(this, iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    std::atomic<ULONG> m_refs{1};
};

template <typename Interface>
class ComStaticObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        return QueryOneInterface<Interface>(this, iid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};
