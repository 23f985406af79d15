// Device contexts. CDC borrows its HDC unless it made the context itself
// (CreateCompatibleDC), which it then deletes. CPaintDC and CClientDC get and give
// back their contexts; CMemoryDC is an off-screen context with its own bitmap;
// CMemDC draws off screen and copies the result onto its target when it goes away.
// CSelectObject selects a GDI object for a scope and restores the old one.
#pragma once

#include <windows.h>

#include "framework/CString.h"
#include "framework/GdiObject.h"
#include "framework/Geometry.h"
#include "framework/Wnd.h"

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    // Borrows hDC (the caller keeps it).
    BOOL Attach(HDC hDC);
    HDC Detach();
    // A memory context compatible with pDC (the screen when null), owned by this object.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    // --- selection: the previous object, to select back ----------------------------------
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    HGDIOBJ SelectObject(CGdiObject* pObject) { return ::SelectObject(m_hDC, pObject->m_hObject); }

    // --- state -------------------------------------------------------------------------------
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    int SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
    int SetStretchBltMode(int nMode) { return ::SetStretchBltMode(m_hDC, nMode); }
    CPoint SetWindowOrg(int x, int y);
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }

    // --- clipping ----------------------------------------------------------------------------
    int IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
    int IntersectClipRect(LPCRECT lpRect) { return IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    BOOL RectVisible(LPCRECT lpRect) const { return ::RectVisible(m_hDC, lpRect); }
    int ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
    int ExcludeClipRect(LPCRECT lpRect) { return ExcludeClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }

    // --- drawing -------------------------------------------------------------------------------
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
    { return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop); }
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                    int nSrcHeight, DWORD dwRop)
    { return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->m_hDC, xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop); }
    BOOL AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend);
    void FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(pBrush->m_hObject)); }
    void FillRect(LPCRECT lpRect, HBRUSH hBrush) { ::FillRect(m_hDC, lpRect, hBrush); }
    void FillSolidRect(LPCRECT lpRect, COLORREF crColor);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor);
    void Draw3dRect(LPCRECT lpRect, COLORREF crTopLeft, COLORREF crBottomRight);
    BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    // The text is in the program's code page (CP_ACP); DrawTextA would read it in the code
    // page of the font's character set instead, which is not UTF-8 even when CP_ACP is.
    int DrawText(LPCSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
    int DrawText(const CString& str, LPRECT lpRect, UINT nFormat) { return DrawText(str, str.GetLength(), lpRect, nFormat); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

private:
    bool m_bOwnsDC = false;
};

// The context of a WM_PAINT: BeginPaint/EndPaint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// A window's client area: GetDC/ReleaseDC.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

// An off-screen memory context with a compatible bitmap selected into it; empty until
// Create. Both go away together.
class CMemoryDC : public CDC {
public:
    CMemoryDC() = default;
    CMemoryDC(CDC* pRefDC, int cx, int cy) { Create(pRefDC, cx, cy); }
    ~CMemoryDC() override { Release(); }
    BOOL Create(CDC* pRefDC, int cx, int cy);
    void Release();
    bool IsEmpty() const { return m_hDC == nullptr; }
    CSize GetSize() const { return m_size; }
    CBitmap& GetBitmap() { return m_bitmap; }

private:
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    CSize m_size;
};

// Drawing on pTarget within rc goes off screen (same coordinates) and reaches the target in
// one copy when the object goes away: no flicker.
class CMemDC : public CMemoryDC {
public:
    CMemDC(CDC* pTarget, const CRect& rc);
    ~CMemDC() override;

private:
    CDC* m_pTarget;
    CRect m_rect;
};

// Selects an object into a context for the lifetime of this object.
class CSelectObject {
public:
    CSelectObject(CDC& dc, HGDIOBJ hObject) : m_hDC(dc.m_hDC), m_hOld(::SelectObject(m_hDC, hObject)) {}
    CSelectObject(CDC& dc, CGdiObject& object) : CSelectObject(dc, object.m_hObject) {}
    ~CSelectObject() { ::SelectObject(m_hDC, m_hOld); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// --- message-map helpers: a borrowed CDC around the message's HDC ----------------------------
template <class T>
LRESULT AfxCallWithDC(CWnd* pWnd, HDC hDC, BOOL (T::*pfn)(CDC*))
{
    CDC dc(hDC);
    return (static_cast<T*>(pWnd)->*pfn)(&dc);
}

template <class T>
HBRUSH AfxCallOnCtlColor(CWnd* pWnd, const AfxMessage& m, HBRUSH (T::*pfn)(CDC*, CWnd*, UINT))
{
    CDC dc(reinterpret_cast<HDC>(m.wParam));
    return (static_cast<T*>(pWnd)->*pfn)(&dc, CWnd::FromHandle(reinterpret_cast<HWND>(m.lParam)),
                                         m.message - WM_CTLCOLORMSGBOX);
}

template <class T>
HBRUSH AfxCallCtlColor(CWnd* pWnd, const AfxMessage& m, HBRUSH (T::*pfn)(CDC*, UINT))
{
    CDC dc(reinterpret_cast<HDC>(m.wParam));
    return (static_cast<T*>(pWnd)->*pfn)(&dc, m.message - WM_CTLCOLORMSGBOX);
}
