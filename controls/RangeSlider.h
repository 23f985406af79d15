// CRangeSlider: a horizontal slider with two thumbs selecting [left, right] of [min, max].
// The arithmetic is RangeSliderModel's; this class draws, takes mouse and keys, and reports
// each change to its parent with the registered message RANGE_CHANGED.
#pragma once

#include "controls/RangeSliderModel.h"
#include "framework/DC.h"
#include "framework/Wnd.h"

// The slider's registered notification message, obtained once per process. wParam carries
// a rangeslider::RangeChangeCode, lParam 1 when a drag ends with the button released.
extern const UINT RANGE_CHANGED;

// The window class the dialog template names for the slider.
constexpr const char* kRangeSliderClassName = "MFCRangeSlider";

class CRangeSlider : public CWnd, private rangeslider::RangeChangeListener {
public:
    // Registers the window class (if the module does not have it yet); throws
    // CResourceException when that fails.
    CRangeSlider();
    ~CRangeSlider() override = default;

    void SetBounds(double a, double b);
    void SetSelection(double left, double right);
    void GetSelection(double& left, double& right) const;
    void GetBounds(double& min, double& max) const;
    // Draws at this display scale from now on (the page's own, 96 until it says otherwise).
    void SetDpi(int dpi);

protected:
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnCaptureChanged(CWnd* pWnd);
    void OnCancelMode();
    UINT OnGetDlgCode();
    DECLARE_MESSAGE_MAP()

private:
    void OnRangeChange(int code, bool dragEnded) override;
    int ClientHeight() const;
    // Ends a drag that the mouse can no longer finish (capture taken, mode cancelled) as
    // a release would, so the parent hears of the drag's end once.
    void EndDrag();

    rangeslider::RangeSliderModel m_model;
    // The parent's pixels under the control, copied at the first paint and kept.
    CMemoryDC m_dcBackground;
};
