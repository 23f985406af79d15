// Device contexts and GDI objects.
#include "framework/DC.h"

#include <string>

#include "framework/WinApp.h"

// --- text ------------------------------------------------------------------------------------

int CDC::DrawText(LPCSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
{
    const int nBytes = nCount < 0 ? lstrlenA(lpszString) : nCount;
    const int nWide = nBytes > 0 ? MultiByteToWideChar(CP_ACP, 0, lpszString, nBytes, nullptr, 0) : 0;
    std::wstring wide(static_cast<size_t>(nWide), L'\0');
    if (nWide > 0)
        MultiByteToWideChar(CP_ACP, 0, lpszString, nBytes, &wide[0], nWide);
    return ::DrawTextW(m_hDC, wide.c_str(), nWide, lpRect, nFormat);
}

// --- GDI objects -------------------------------------------------------------------------------

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (!hObject)
        return FALSE;
    DeleteObject();
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    m_hObject = nullptr;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Attach(::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

CSize CBitmap::GetSize() const
{
    BITMAP bm{};
    if (!m_hObject || !GetBitmap(&bm))
        return CSize();
    return CSize(bm.bmWidth, bm.bmHeight);
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return Attach(::CreateSolidBrush(crColor));
}

// --- CDC -----------------------------------------------------------------------------------------

CDC::~CDC()
{
    DeleteDC();
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC)
        return FALSE;
    DeleteDC();
    m_hDC = hDC;
    m_bOwnsDC = false;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    m_bOwnsDC = false;
    return hDC;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    HDC hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    if (!hDC)
        return FALSE;
    DeleteDC();
    m_hDC = hDC;
    m_bOwnsDC = true;
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    const bool bOwned = m_bOwnsDC;
    HDC hDC = Detach();
    return hDC && bOwned ? ::DeleteDC(hDC) : FALSE;
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT old{};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}

BOOL CDC::AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend)
{
    return ::AlphaBlend(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->m_hDC, xSrc, ySrc, nSrcWidth,
                        nSrcHeight, blend);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF crColor)
{
    // ExtTextOut with an opaque rectangle fills without a brush; the old colour comes back.
    const COLORREF crOld = ::SetBkColor(m_hDC, crColor);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, crOld);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor)
{
    CRect rc(x, y, x + cx, y + cy);
    rc.NormalizeRect(); // negative extents grow leftwards/upwards
    FillSolidRect(rc, crColor);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF crTopLeft, COLORREF crBottomRight)
{
    const int x = lpRect->left, y = lpRect->top;
    const int cx = lpRect->right - x, cy = lpRect->bottom - y;
    FillSolidRect(x, y, cx - 1, 1, crTopLeft);
    FillSolidRect(x, y, 1, cy - 1, crTopLeft);
    FillSolidRect(x + cx, y, -1, cy, crBottomRight);
    FillSolidRect(x, y + cy, cx, -1, crBottomRight);
}

// --- contexts that give their handles back ---------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

BOOL CMemoryDC::Create(CDC* pRefDC, int cx, int cy)
{
    Release();
    CClientDC screen(nullptr);
    CDC* pRef = pRefDC ? pRefDC : &screen;
    if (!CreateCompatibleDC(pRef) || !m_bitmap.CreateCompatibleBitmap(pRef, cx, cy)) {
        Release();
        return FALSE;
    }
    m_hOldBitmap = SelectObject(&m_bitmap);
    m_size = CSize(cx, cy);
    return TRUE;
}

void CMemoryDC::Release()
{
    if (m_hDC && m_hOldBitmap)
        SelectObject(m_hOldBitmap);
    m_hOldBitmap = nullptr;
    DeleteDC();
    m_bitmap.DeleteObject();
    m_size = CSize();
}

CMemDC::CMemDC(CDC* pTarget, const CRect& rc) : m_pTarget(pTarget), m_rect(rc)
{
    if (Create(pTarget, rc.Width(), rc.Height()))
        SetWindowOrg(rc.left, rc.top);
}

CMemDC::~CMemDC()
{
    if (!IsEmpty())
        m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                          SRCCOPY);
}
