// Owning wrappers for BSTR and VARIANT, and the 8-bit <-> BSTR conversions the program needs.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>

// A BSTR that frees itself.
class OleBstr {
public:
    OleBstr() = default;
    // From an 8-bit string in the ANSI code page; nullptr gives an empty BSTR (not a null one).
    explicit OleBstr(const char* sz);
    ~OleBstr() { SysFreeString(m_bstr); }
    OleBstr(const OleBstr&) = delete;
    OleBstr& operator=(const OleBstr&) = delete;

    BSTR Get() const { return m_bstr; }
    BSTR Detach()
    {
        BSTR b = m_bstr;
        m_bstr = nullptr;
        return b;
    }

private:
    BSTR m_bstr = nullptr;
};

// 8-bit (ANSI code page) text of a BSTR; a null BSTR is the empty string.
std::string OleBstrToAnsi(BSTR bstr);

// A VARIANT that clears itself.
class OleVariant {
public:
    OleVariant() { VariantInit(&m_var); }
    ~OleVariant() { VariantClear(&m_var); }
    OleVariant(const OleVariant&) = delete;
    OleVariant& operator=(const OleVariant&) = delete;
    OleVariant(OleVariant&& other) noexcept : m_var(other.m_var) { VariantInit(&other.m_var); }

    VARIANT* operator&() = delete; // use Ptr(): makes the owning intent plain at call sites
    VARIANT* Ptr() { return &m_var; }
    const VARIANT& Ref() const { return m_var; }
    void Clear() { VariantClear(&m_var); }

private:
    VARIANT m_var;
};
