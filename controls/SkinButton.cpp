// CSkinButton: images, frames, hover tracking and tooltip of the flat owner-drawn button.
#include "controls/SkinButton.h"

#include <commctrl.h>

#include "controls/ParentBackground.h"
#include "controls/ScaledImage.h"
#include "framework/DpiScale.h"
#include "framework/WinApp.h"

using namespace skinbutton;

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_KILLFOCUS()
    ON_WM_CANCELMODE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_GETDLGCODE()
    ON_WM_DESTROY()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
END_MESSAGE_MAP()

namespace {

constexpr UINT kToolId = 1;
constexpr int kMaxTipWidth = 400;

CRect ToCRect(const Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }
Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

} // namespace

CSkinButton::CSkinButton()
{
    ResetColors();
}

CSkinButton::~CSkinButton()
{
    FreeImages();
    if (m_hTooltip && ::IsWindow(m_hTooltip))
        ::DestroyWindow(m_hTooltip);
}

void CSkinButton::ResetColors()
{
    m_crColors[COLOR_BK_HOVER] = ::GetSysColor(COLOR_BTNFACE);
    m_crColors[COLOR_FG_HOVER] = ::GetSysColor(COLOR_BTNTEXT);
    m_crColors[COLOR_BK_NORMAL] = ::GetSysColor(COLOR_BTNFACE);
    m_crColors[COLOR_FG_NORMAL] = ::GetSysColor(COLOR_BTNTEXT);
    m_crColors[COLOR_BK_FOCUS] = ::GetSysColor(COLOR_BTNFACE);
    m_crColors[COLOR_FG_FOCUS] = ::GetSysColor(COLOR_BTNTEXT);
}

// --- images ----------------------------------------------------------------------------------

void CSkinButton::FreeImages()
{
    for (IconImage& icon : m_icons) {
        if (icon.hIcon)
            ::DestroyIcon(icon.hIcon);
        icon = IconImage{};
    }
    for (BitmapImage& bmp : m_bitmaps) {
        if (bmp.hBitmap)
            ::DeleteObject(bmp.hBitmap);
        if (bmp.hMask)
            ::DeleteObject(bmp.hMask);
        bmp = BitmapImage{};
    }
}

DWORD CSkinButton::SetIcons(UINT nIconHover, UINT nIconNormal)
{
    FreeImages();
    const UINT ids[2] = {nIconHover, nIconNormal};
    m_imageKind = ImageKind::Icons;
    m_imageIds[SLOT_HOVER] = nIconHover;
    m_imageIds[SLOT_NORMAL] = nIconNormal;
    for (int slot = 0; slot < 2; ++slot) {
        if (slot == SLOT_NORMAL && ids[slot] == 0)
            break;
        HICON hIcon = LoadIconForDpi(ids[slot], m_nDpi);
        ICONINFO info{};
        if (!hIcon || !::GetIconInfo(hIcon, &info)) {
            if (hIcon)
                ::DestroyIcon(hIcon);
            FreeImages();
            return BTN_INVALID_RESOURCE;
        }
        // The icon's size is read from its hotspot, which sits at its centre.
        m_icons[slot] = IconImage{hIcon, IconExtentFromHotspot(info.xHotspot), IconExtentFromHotspot(info.yHotspot)};
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask)
            ::DeleteObject(info.hbmMask);
    }
    if (m_hWnd)
        Invalidate();
    return BTN_OK;
}

DWORD CSkinButton::InstallBitmap(BitmapImage& slot, HBITMAP hBitmap, COLORREF crTransparent)
{
    BITMAP bm{};
    if (!hBitmap || !::GetObjectA(hBitmap, sizeof(bm), &bm)) {
        if (hBitmap)
            ::DeleteObject(hBitmap);
        return BTN_INVALID_RESOURCE;
    }
    HBITMAP hMask = ::CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
    if (!hMask) {
        ::DeleteObject(hBitmap);
        return BTN_FAILED_MASK;
    }
    slot = BitmapImage{hBitmap, static_cast<int>(bm.bmWidth), static_cast<int>(bm.bmHeight), hMask, crTransparent};

    CDC dcImage;
    CDC dcMask;
    dcImage.CreateCompatibleDC(nullptr);
    dcMask.CreateCompatibleDC(nullptr);
    CSelectObject selImage(dcImage, hBitmap);
    CSelectObject selMask(dcMask, hMask);
    // Colour to monochrome: the pixels of the background colour become white in the mask.
    ::SetBkColor(dcImage.GetSafeHdc(), crTransparent);
    ::BitBlt(dcMask.GetSafeHdc(), 0, 0, bm.bmWidth, bm.bmHeight, dcImage.GetSafeHdc(), 0, 0, SRCCOPY);
    // Monochrome to colour: white mask bits turn black, so the transparent pixels of the
    // bitmap become black and add nothing when the bitmap is ORed onto the button.
    ::SetBkColor(dcImage.GetSafeHdc(), RGB(0, 0, 0));
    ::SetTextColor(dcImage.GetSafeHdc(), RGB(255, 255, 255));
    ::BitBlt(dcImage.GetSafeHdc(), 0, 0, bm.bmWidth, bm.bmHeight, dcMask.GetSafeHdc(), 0, 0, SRCAND);
    return BTN_OK;
}

DWORD CSkinButton::SetBitmaps(UINT nBitmapHover, COLORREF crTransHover, UINT nBitmapNormal, COLORREF crTransNormal)
{
    FreeImages();
    const UINT ids[2] = {nBitmapHover, nBitmapNormal};
    const COLORREF colours[2] = {crTransHover, crTransNormal};
    m_imageKind = ImageKind::Bitmaps;
    for (int slot = 0; slot < 2; ++slot) {
        m_imageIds[slot] = ids[slot];
        m_imageKeys[slot] = colours[slot];
    }
    for (int slot = 0; slot < 2; ++slot) {
        if (slot == SLOT_NORMAL && ids[slot] == 0)
            break;
        HBITMAP hBitmap = LoadBitmapForDpi(ids[slot], m_nDpi, &colours[slot]);
        const DWORD result = InstallBitmap(m_bitmaps[slot], hBitmap, colours[slot]);
        if (result != BTN_OK) {
            FreeImages();
            return result;
        }
    }
    if (m_hWnd)
        Invalidate();
    return BTN_OK;
}

// --- settings --------------------------------------------------------------------------------

DWORD CSkinButton::SetAlign(BYTE byAlign, BOOL bRepaint)
{
    if (byAlign > ALIGN_MAX)
        return BTN_INVALID_ALIGN;
    m_byAlign = byAlign;
    if (bRepaint && m_hWnd)
        Invalidate();
    return BTN_OK;
}

DWORD CSkinButton::SetColor(BYTE byIndex, COLORREF crColor, BOOL bRepaint)
{
    if (byIndex >= COLOR_COUNT)
        return BTN_INVALID_INDEX;
    m_crColors[byIndex] = crColor;
    if (bRepaint && m_hWnd)
        Invalidate();
    return BTN_OK;
}

DWORD CSkinButton::SetDrawBorder(BOOL bEnable, BOOL bRepaint)
{
    m_bDrawBorder = bEnable != FALSE;
    if (bRepaint && m_hWnd)
        Invalidate();
    return BTN_OK;
}

DWORD CSkinButton::DrawTransparent(BOOL bRepaint)
{
    m_bTransparent = true;
    // The next draw takes the parent's background anew.
    m_dcBackground.Release();
    if (bRepaint && m_hWnd)
        Invalidate();
    return BTN_OK;
}

void CSkinButton::SetDpi(int dpi)
{
    m_nDpi = dpiscale::Usable(dpi);
    m_placement = PlacementForDpi(m_nDpi);
    m_dcBackground.Release(); // taken again at the next draw, at the new size
    if (m_imageKind == ImageKind::Icons)
        SetIcons(m_imageIds[SLOT_HOVER], m_imageIds[SLOT_NORMAL]);
    else if (m_imageKind == ImageKind::Bitmaps)
        SetBitmaps(m_imageIds[SLOT_HOVER], m_imageKeys[SLOT_HOVER], m_imageIds[SLOT_NORMAL], m_imageKeys[SLOT_NORMAL]);
    if (m_hWnd)
        Invalidate();
}

// --- tooltip ---------------------------------------------------------------------------------

void CSkinButton::CreateTooltip()
{
    if (m_hTooltip)
        return;
    m_hTooltip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
    if (!m_hTooltip)
        return;
    ::SendMessageA(m_hTooltip, TTM_ACTIVATE, FALSE, 0);
    ::SendMessageA(m_hTooltip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
}

void CSkinButton::SetTooltipText(LPCSTR lpszText, BOOL bActivate)
{
    if (!lpszText)
        return;
    CreateTooltip();
    if (!m_hTooltip)
        return;
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = m_hWnd;
    ti.uId = kToolId;
    ti.hinst = AfxGetInstanceHandle();
    ti.lpszText = const_cast<LPSTR>(lpszText);
    if (::SendMessageA(m_hTooltip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
        // The tool keeps this rectangle; it does not follow later moves of the button.
        ::GetClientRect(m_hWnd, &ti.rect);
        ::SendMessageA(m_hTooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    ::SendMessageA(m_hTooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageA(m_hTooltip, TTM_ACTIVATE, bActivate, 0);
}

BOOL CSkinButton::PreTranslateMessage(MSG* pMsg)
{
    CreateTooltip();
    if (m_hTooltip)
        ::SendMessageA(m_hTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    // A quick second click is another click, not a double click.
    if (pMsg->message == WM_LBUTTONDBLCLK)
        pMsg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(pMsg);
}

// --- messages --------------------------------------------------------------------------------

void CSkinButton::PreSubclassWindow()
{
    const DWORD style = GetStyle();
    if (DefaultChangeForStyle(style) == DefaultChange::Becomes)
        m_bDefault = true;
    ModifyStyle(kTypeMask, kOwnerDraw, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

BOOL CSkinButton::OnClicked()
{
    SetFocus();
    return FALSE; // the parent sees the click too
}

HBRUSH CSkinButton::CtlColor(CDC*, UINT)
{
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CSkinButton::OnMouseMove(UINT nFlags, CPoint)
{
    Default();
    // A drag that wanders in from elsewhere does not light the button up.
    if ((nFlags & MK_LBUTTON) && !m_bHovered)
        return;
    if (!m_bAlwaysTrack && ::GetActiveWindow() == nullptr)
        return;
    POINT pt;
    ::GetCursorPos(&pt);
    if (::WindowFromPoint(pt) == m_hWnd) {
        if (m_bHovered)
            return;
        m_bHovered = true;
        Invalidate();
        // Hovering must end even when the pointer leaves faster than mouse moves arrive.
        TRACKMOUSEEVENT tme{};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        ::_TrackMouseEvent(&tme);
    } else {
        EndHover();
    }
}

void CSkinButton::EndHover()
{
    if (!m_bHovered)
        return;
    m_bHovered = false;
    Invalidate();
}

void CSkinButton::OnDestroy()
{
    if (m_hTooltip) {
        ::DestroyWindow(m_hTooltip);
        m_hTooltip = nullptr;
    }
    Default();
}

void CSkinButton::OnMouseLeave()
{
    EndHover();
}

void CSkinButton::OnKillFocus(CWnd*)
{
    Default();
    EndHover();
}

void CSkinButton::OnCancelMode()
{
    Default();
    EndHover();
}

void CSkinButton::OnSysColorChange()
{
    Default();
    m_dcBackground.Release(); // taken again at the next draw
    ResetColors();
    Invalidate();
}

UINT CSkinButton::OnGetDlgCode()
{
    return DialogCode(static_cast<UINT>(Default()), m_bDefault);
}

LRESULT CSkinButton::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    switch (DefaultChangeForStyle(static_cast<std::uint32_t>(wParam))) {
    case DefaultChange::Becomes:
        m_bDefault = true;
        break;
    case DefaultChange::Stops:
        m_bDefault = false;
        break;
    case DefaultChange::Unchanged:
        break;
    }
    return DefWindowProc(BM_SETSTYLE, OwnerDrawStyleFor(static_cast<std::uint32_t>(wParam)), lParam);
}

LRESULT CSkinButton::OnGetCheck(WPARAM, LPARAM)
{
    return 0; // a push button is never checked
}

LRESULT CSkinButton::OnSetCheck(WPARAM, LPARAM)
{
    return 0;
}

// --- drawing ---------------------------------------------------------------------------------

int CSkinButton::ActiveSlot(bool normalSet) const
{
    return ImageSlotFor(m_bIsPressed, m_bHovered, normalSet);
}

void CSkinButton::PaintCachedBackground(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    SnapshotParentBackground(*this, m_dcBackground, rcClient.Width(), rcClient.Height());
    pDC->BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &m_dcBackground, 0, 0, SRCCOPY);
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC dc(lpDIS->hDC);
    CDC* pDC = &dc;
    m_bIsPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    m_bIsFocused = (lpDIS->itemState & ODS_FOCUS) != 0;
    pDC->SetBkMode(TRANSPARENT);

    const CRect rcItem = lpDIS->rcItem;
    if (m_bTransparent)
        PaintCachedBackground(pDC);
    else
        OnDrawBackground(pDC, rcItem);
    OnDrawBorder(pDC, rcItem);

    CString strCaption;
    GetWindowText(strCaption);
    const bool hasCaption = !strCaption.IsEmpty();
    CRect rcCaption = rcItem;

    if (m_icons[SLOT_HOVER].hIcon) {
        const IconImage& icon = m_icons[ActiveSlot(m_icons[SLOT_NORMAL].hIcon != nullptr)];
        const ImageAndCaption placed = PlaceImage(ToRect(rcItem), icon.width, icon.height, hasCaption,
                                                  m_byAlign, m_bIsPressed, m_placement);
        rcCaption = ToCRect(placed.caption);
        OnDrawIcon(pDC, rcItem, ToCRect(placed.image));
    }
    if (m_bitmaps[SLOT_HOVER].hBitmap) {
        const BitmapImage& bmp = m_bitmaps[ActiveSlot(m_bitmaps[SLOT_NORMAL].hBitmap != nullptr)];
        const ImageAndCaption placed = PlaceImage(ToRect(rcItem), bmp.width, bmp.height, hasCaption,
                                                  m_byAlign, m_bIsPressed, m_placement);
        rcCaption = ToCRect(placed.caption);
        pDC->SetBkColor(RGB(255, 255, 255));
        OnDrawBitmap(pDC, ToCRect(placed.image));
    }
    if (hasCaption)
        OnDrawText(pDC, strCaption, rcCaption);
    // No focus rectangle: the button is flat.
}

void CSkinButton::OnDrawBackground(CDC* pDC, const CRect& rcItem)
{
    const int index = TextBackColorIndex(m_bIsPressed, m_bHovered, m_bIsFocused);
    pDC->FillSolidRect(&rcItem, m_crColors[index]);
}

void CSkinButton::OnDrawBorder(CDC* pDC, const CRect& rcItem)
{
    if (!m_bDrawBorder)
        return;
    if (m_bIsPressed)
        pDC->Draw3dRect(&rcItem, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (m_bHovered || !m_bFlat)
        pDC->Draw3dRect(&rcItem, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
}

void CSkinButton::OnDrawIcon(CDC* pDC, const CRect& rcItem, const CRect& rcImage)
{
    const IconImage& icon = m_icons[ActiveSlot(m_icons[SLOT_NORMAL].hIcon != nullptr)];
    ::DrawStateA(pDC->GetSafeHdc(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon.hIcon), 0,
                 rcImage.left, rcImage.top, rcItem.right - rcImage.left, rcItem.bottom - rcImage.top,
                 DST_ICON | DSS_NORMAL);
}

void CSkinButton::OnDrawBitmap(CDC* pDC, const CRect& rcImage)
{
    const BitmapImage& bmp = m_bitmaps[ActiveSlot(m_bitmaps[SLOT_NORMAL].hBitmap != nullptr)];
    CDC dcMask;
    CDC dcImage;
    dcMask.CreateCompatibleDC(pDC);
    dcImage.CreateCompatibleDC(pDC);
    CSelectObject selMask(dcMask, bmp.hMask);
    CSelectObject selImage(dcImage, bmp.hBitmap);
    // The mask keeps the background where the bitmap is transparent and clears it
    // elsewhere; the bitmap, black where transparent, is then ORed in.
    ::BitBlt(pDC->GetSafeHdc(), rcImage.left, rcImage.top, bmp.width, bmp.height, dcMask.GetSafeHdc(), 0, 0, SRCAND);
    ::BitBlt(pDC->GetSafeHdc(), rcImage.left, rcImage.top, bmp.width, bmp.height, dcImage.GetSafeHdc(), 0, 0, SRCPAINT);
}

void CSkinButton::OnDrawText(CDC* pDC, const CString& strCaption, CRect rcCaption)
{
    if (m_bIsPressed)
        rcCaption.OffsetRect(m_placement.pressedDx, m_placement.pressedDy);
    CRect rcText = rcCaption;
    pDC->DrawText(strCaption, &rcText, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    const CRect rcCentred = ToCRect(CentreText(ToRect(rcCaption), ToRect(rcText)));

    pDC->SetTextColor(m_crColors[TextColorIndex(m_bIsPressed, m_bHovered, m_bIsFocused)]);
    pDC->SetBkColor(m_crColors[TextBackColorIndex(m_bIsPressed, m_bHovered, m_bIsFocused)]);
    CRect rcDraw = rcCentred;
    pDC->DrawText(strCaption, &rcDraw, DT_WORDBREAK | DT_CENTER);
}
