// COleDispatchDriver: late-bound calls on a COM object's IDispatch, in the framework's usual
// shape (a VTS_ parameter list, a return VARTYPE and the arguments), with the C++ types of the
// arguments and of the result checked against those VARTYPEs before anything is sent.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <string>
#include <type_traits>

#include "framework/CString.h"
#include "common/ComPtr.h"

// Parameter-type bytes: concatenate them into one string, e.g. VTS_BSTR VTS_R8 VTS_I2.
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_BOOL "\x0B"

namespace ole {

// One argument of a call. Built implicitly from the C++ value; ToVariant accepts only the
// VARTYPEs that this kind of value can honestly become (no text as a number, no pointer as a
// flag, no integer silently cut to 16 bits).
class DispArg {
public:
    DispArg(short n) : m_kind(Kind::Integer), m_nValue(n) {}
    DispArg(int n) : m_kind(Kind::Integer), m_nValue(n) {}
    DispArg(long n) : m_kind(Kind::Integer), m_nValue(n) {}
    DispArg(unsigned int n) : m_kind(Kind::Integer), m_nValue(n) {}  // UINT
    DispArg(unsigned long n) : m_kind(Kind::Integer), m_nValue(n) {} // DWORD
    DispArg(float f) : m_kind(Kind::Real), m_dValue(f) {}
    DispArg(double d) : m_kind(Kind::Real), m_dValue(d) {}
    DispArg(const char* sz) : m_kind(Kind::Text), m_szText(sz ? sz : "") {}
    DispArg(const CString& str) : m_kind(Kind::Text), m_szText(str) {}
    DispArg(const std::string& str) : m_kind(Kind::Text), m_szText(str.c_str()) {}
    DispArg(IDispatch* p) : m_kind(Kind::Dispatch), m_pDispatch(p) {}
    DispArg(std::nullptr_t) : m_kind(Kind::Dispatch) {}
    // Only a real bool is a flag; BOOL is an int and goes through the integer path.
    template <class B, std::enable_if_t<std::is_same_v<B, bool>, int> = 0>
    DispArg(B b) : m_kind(Kind::Flag), m_nValue(b ? 1 : 0) {}
    // Any other pointer (a window handle, a wide string) is a mistake at the call site. A window
    // handle that a component takes as VTS_I4 is passed as static_cast<long>(reinterpret_cast<LONG_PTR>(hWnd)):
    // window handles keep their value in 32 bits.
    DispArg(const void*) = delete;

    // Fills an empty VARIANT with this value as vt; S_OK, or an error with out left empty.
    HRESULT ToVariant(VARTYPE vt, VARIANT& out) const;

private:
    enum class Kind { Integer, Real, Text, Dispatch, Flag };
    Kind m_kind;
    long long m_nValue = 0;
    double m_dValue = 0;
    const char* m_szText = nullptr; // valid for the duration of the call
    IDispatch* m_pDispatch = nullptr;
};

// Where a call's result goes, typed. nullptr discards whatever comes back.
class DispResult {
public:
    DispResult(std::nullptr_t) {}
    DispResult(short* p) : m_kind(Kind::I2), m_p(p) {}
    DispResult(long* p) : m_kind(Kind::I4), m_p(p) {}
    DispResult(int* p) : m_kind(Kind::Int), m_p(p) {} // an int or a BOOL: VT_I4 or VT_BOOL
    DispResult(float* p) : m_kind(Kind::R4), m_p(p) {}
    DispResult(double* p) : m_kind(Kind::R8), m_p(p) {}
    DispResult(bool* p) : m_kind(Kind::Bool), m_p(p) {}
    DispResult(CString* p) : m_kind(Kind::Text), m_p(p) {}
    DispResult(IDispatch** p) : m_kind(Kind::Dispatch), m_p(p) {} // AddRef'd: the caller releases
    DispResult(void*) = delete;

    bool Discards() const { return m_p == nullptr; }
    bool Accepts(VARTYPE vt) const;
    // Stores a VARIANT that already has the type Accepts agreed to.
    void Store(const VARIANT& value) const;

private:
    enum class Kind { None, I2, I4, Int, R4, R8, Bool, Text, Dispatch };
    Kind m_kind = Kind::None;
    void* m_p = nullptr;
};

// The parameter-type string of a call: a literal (VTS_I4 VTS_BSTR) or a static BYTE array.
class DispParamTypes {
public:
    DispParamTypes(const char* sz) : m_sz(reinterpret_cast<const unsigned char*>(sz ? sz : "")) {}
    DispParamTypes(const BYTE* pb) : m_sz(pb ? pb : reinterpret_cast<const BYTE*>("")) {}
    const BYTE* Bytes() const { return m_sz; }

private:
    const BYTE* m_sz;
};

} // namespace ole

class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    // Takes over pDispatch's reference when bAutoRelease is TRUE, else takes one of its own.
    explicit COleDispatchDriver(IDispatch* pDispatch, BOOL bAutoRelease = TRUE);
    virtual ~COleDispatchDriver() = default;
    COleDispatchDriver(const COleDispatchDriver&) = delete;
    COleDispatchDriver& operator=(const COleDispatchDriver&) = delete;

    // Creates a new object and keeps its IDispatch. Goes through CoCreateInstance, so a class
    // the program registered itself with CoRegisterClassObject is found. Drops any earlier one.
    BOOL CreateDispatch(REFCLSID clsid);
    // By ProgID ("SkinCrafter.SCSkin") or by a CLSID string in braces.
    BOOL CreateDispatch(const char* szProgID);

    // Connects to an existing IDispatch (see the constructor for bAutoRelease).
    void AttachDispatch(IDispatch* pDispatch, BOOL bAutoRelease = TRUE);
    void ReleaseDispatch();
    // Hands the reference to the caller and leaves the driver unconnected.
    IDispatch* DetachDispatch();

    IDispatch* GetIDispatch() const { return m_pDispatch.Get(); } // borrowed
    bool IsConnected() const { return static_cast<bool>(m_pDispatch); }

    // Calls dispid with wFlags (DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT).
    // Nothing is sent, and the result is left untouched, when the driver is unconnected, when
    // the arguments do not match paramTypes in number or type, or when the result's C++ type
    // cannot hold vtRet. Returns the HRESULT of the call (callers may ignore it).
    template <class... Args>
    HRESULT InvokeHelper(DISPID dispid, WORD wFlags, VARTYPE vtRet, ole::DispResult result,
                         ole::DispParamTypes paramTypes, const Args&... args)
    {
        const std::array<ole::DispArg, sizeof...(Args)> argArray{ { ole::DispArg(args)... } };
        return InvokeHelperV(dispid, wFlags, vtRet, result, paramTypes, argArray.data(), argArray.size());
    }

    HRESULT GetProperty(DISPID dispid, VARTYPE vtProp, ole::DispResult result)
    {
        return InvokeHelper(dispid, DISPATCH_PROPERTYGET, vtProp, result, VTS_NONE);
    }
    template <class T>
    HRESULT SetProperty(DISPID dispid, VARTYPE vtProp, const T& value)
    {
        const char paramTypes[2] = { static_cast<char>(vtProp), '\0' };
        return InvokeHelper(dispid, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, paramTypes, value);
    }

    HRESULT InvokeHelperV(DISPID dispid, WORD wFlags, VARTYPE vtRet, ole::DispResult result,
                          ole::DispParamTypes paramTypes, const ole::DispArg* pArgs, size_t nArgs);

private:
    ComPtr<IDispatch> m_pDispatch;
};
