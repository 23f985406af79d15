// CRangeSlider: drawing, input and notifications around RangeSliderModel.
#include "controls/RangeSlider.h"

#include "controls/ParentBackground.h"
#include "controls/ScaledImage.h"
#include "framework/WinApp.h"
#include "res/Images.h"

const UINT RANGE_CHANGED =
    ::RegisterWindowMessageA("RANGE_CHANGED{2E7439A4-12DB-42a2-BB95-3462B3EC39CE}CRangeSlider");

BEGIN_MESSAGE_MAP(CRangeSlider, CWnd)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_GETDLGCODE()
    ON_WM_CAPTURECHANGED()
    ON_WM_CANCELMODE()
END_MESSAGE_MAP()

CRangeSlider::CRangeSlider() : m_model(this)
{
    // The dialog template creates the window by class name, so the class must exist before
    // the page's template is instantiated; messages reach this object once it subclasses
    // the window, so the class itself only needs DefWindowProc.
    WNDCLASSA wc{};
    HINSTANCE hInst = AfxGetInstanceHandle();
    if (!::GetClassInfoA(hInst, kRangeSliderClassName, &wc)) {
        wc = WNDCLASSA{};
        wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr; // nothing is erased: every paint covers the whole client
        wc.lpszClassName = kRangeSliderClassName;
        if (!AfxRegisterClass(&wc))
            AfxThrowResourceException();
    }
}

void CRangeSlider::SetBounds(double a, double b)
{
    m_model.SetBounds(a, b);
    if (m_hWnd)
        Invalidate();
}

void CRangeSlider::SetSelection(double left, double right)
{
    m_model.SetSelection(left, right);
    if (m_hWnd)
        Invalidate();
}

void CRangeSlider::GetSelection(double& left, double& right) const
{
    left = m_model.Left();
    right = m_model.Right();
}

void CRangeSlider::GetBounds(double& min, double& max) const
{
    min = m_model.Min();
    max = m_model.Max();
}

void CRangeSlider::SetDpi(int dpi)
{
    m_model.SetDpi(dpi);
    // The backdrop is taken again at the next paint, at the new size and scale.
    m_dcBackground.Release();
    if (m_hWnd)
        Invalidate();
}

void CRangeSlider::OnRangeChange(int code, bool dragEnded)
{
    if (!m_hWnd)
        return;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(RANGE_CHANGED, static_cast<WPARAM>(code), dragEnded ? 1 : 0);
}

int CRangeSlider::ClientHeight() const
{
    CRect rc;
    GetClientRect(&rc);
    return rc.Height();
}

// --- painting --------------------------------------------------------------------------------

void CRangeSlider::OnPaint()
{
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    const int W = rcClient.Width();
    const int H = rcClient.Height();
    const rangeslider::SliderLayout layout = m_model.Layout(W, H);

    // Compose the update rectangle off screen, in client coordinates, then copy it once.
    const CRect rcUpdate = dc.m_ps.rcPaint;
    if (rcUpdate.IsRectEmpty())
        return;
    CMemoryDC dcMem(&dc, rcUpdate.Width(), rcUpdate.Height());
    dcMem.SetMapMode(MM_TEXT);
    dcMem.SetWindowOrg(rcUpdate.left, rcUpdate.top);

    // Taken at the first paint and never refreshed, so the parent need not repaint for the
    // slider to redraw.
    SnapshotParentBackground(*this, m_dcBackground, W, H);
    dcMem.BitBlt(0, 0, W, H, &m_dcBackground, 0, 0, SRCCOPY);

    // The images of the slider's scale: the thumbs are copied as they are, the track and the
    // bar, whose columns are all alike, stretched across only.
    const int dpi = m_model.Dpi();
    CBitmap bmpTrack, bmpLeft, bmpRight, bmpBar;
    bmpTrack.Attach(LoadBitmapForDpi(IDB_SLIDER_TRACK, dpi));
    bmpLeft.Attach(LoadBitmapForDpi(IDB_SLIDER_THUMB_LEFT, dpi));
    bmpRight.Attach(LoadBitmapForDpi(IDB_SLIDER_THUMB_RIGHT, dpi));
    bmpBar.Attach(LoadBitmapForDpi(IDB_SLIDER_BAR, dpi));
    CDC dcImage;
    dcImage.CreateCompatibleDC(&dc);
    {
        CSelectObject sel(dcImage, bmpTrack);
        const auto& r = layout.track;
        const CSize size = bmpTrack.GetSize();
        dcMem.StretchBlt(r.left, r.top, r.right - r.left, r.bottom - r.top, &dcImage, 0, 0, size.cx, size.cy, SRCCOPY);
    }
    {
        CSelectObject sel(dcImage, bmpLeft);
        const CSize size = bmpLeft.GetSize();
        dcMem.BitBlt(layout.leftThumb.x, layout.leftThumb.y, size.cx, size.cy, &dcImage, 0, 0, SRCCOPY);
    }
    {
        CSelectObject sel(dcImage, bmpRight);
        const CSize size = bmpRight.GetSize();
        dcMem.BitBlt(layout.rightThumb.x, layout.rightThumb.y, size.cx, size.cy, &dcImage, 0, 0, SRCCOPY);
    }
    {
        CSelectObject sel(dcImage, bmpBar);
        const auto& r = layout.bar;
        const CSize size = bmpBar.GetSize();
        dcMem.StretchBlt(r.left, r.top, r.right - r.left, r.bottom - r.top, &dcImage, 0, 0, size.cx, size.cy, SRCCOPY);
    }

    dc.BitBlt(rcUpdate.left, rcUpdate.top, rcUpdate.Width(), rcUpdate.Height(), &dcMem,
              rcUpdate.left, rcUpdate.top, SRCCOPY);
}

// --- input -----------------------------------------------------------------------------------

void CRangeSlider::OnLButtonDown(UINT, CPoint point)
{
    SetFocus();
    Invalidate();
    if (m_model.ButtonDown(point.x, point.y, ClientHeight()))
        SetCapture();
    Default();
}

void CRangeSlider::OnMouseMove(UINT, CPoint point)
{
    if (m_model.MouseMove(point.x))
        Invalidate();
    Default();
}

void CRangeSlider::OnLButtonUp(UINT, CPoint)
{
    EndDrag();
    Default();
}

void CRangeSlider::EndDrag()
{
    // The model stops tracking before the capture goes, so the WM_CAPTURECHANGED that
    // ReleaseCapture sends finds no drag left to end.
    if (m_model.ButtonUp()) {
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        Invalidate();
    }
}

void CRangeSlider::OnCaptureChanged(CWnd* pWnd)
{
    // A message box, another window or a task switch took the mouse in mid-drag: later
    // plain mouse moves must not go on moving the thumb.
    if (pWnd != this)
        EndDrag();
    Default();
}

void CRangeSlider::OnCancelMode()
{
    EndDrag();
    Default();
}

void CRangeSlider::OnKeyDown(UINT nChar, UINT, UINT)
{
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    if (m_model.KeyDown(nChar, ctrl, shift))
        Invalidate();
    Default();
}

void CRangeSlider::OnSetFocus(CWnd*)
{
    Default();
    Invalidate();
}

void CRangeSlider::OnKillFocus(CWnd*)
{
    Default();
    Invalidate();
}

UINT CRangeSlider::OnGetDlgCode()
{
    return DLGC_WANTARROWS;
}
