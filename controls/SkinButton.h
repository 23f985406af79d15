// CSkinButton: a flat owner-drawn push button with hover and normal images (icons, or
// bitmaps with a transparent colour), the parent's background under it, optional hover and
// pressed frames, six colours and a tooltip. Placement arithmetic is in SkinButtonLayout.h.
#pragma once

#include "controls/SkinButtonLayout.h"
#include "framework/Button.h"
#include "framework/DC.h"

class CSkinButton : public CButton {
public:
    // Results of the setters.
    enum Result : DWORD {
        BTN_OK = 0,
        BTN_INVALID_RESOURCE = 1,
        BTN_FAILED_MASK = 2,
        BTN_INVALID_INDEX = 3,
        BTN_INVALID_ALIGN = 4,
    };

    CSkinButton();
    ~CSkinButton() override;

    DWORD SetIcons(UINT nIconHover, UINT nIconNormal);
    DWORD SetBitmaps(UINT nBitmapHover, COLORREF crTransHover, UINT nBitmapNormal, COLORREF crTransNormal);
    DWORD SetAlign(BYTE byAlign, BOOL bRepaint = TRUE);
    DWORD SetColor(BYTE byIndex, COLORREF crColor, BOOL bRepaint = TRUE);
    DWORD SetDrawBorder(BOOL bEnable = TRUE, BOOL bRepaint = TRUE);
    void SetTooltipText(LPCSTR lpszText, BOOL bActivate = TRUE);
    DWORD DrawTransparent(BOOL bRepaint = FALSE);
    // Draws at this display scale from now on (96 until told otherwise): the images are
    // loaded again at that scale and the image's distances scaled.
    void SetDpi(int dpi);

    // Read back for callers that lay out around the button (and for tests).
    COLORREF GetColor(BYTE byIndex) const { return byIndex < skinbutton::COLOR_COUNT ? m_crColors[byIndex] : 0; }
    bool IsHovered() const { return m_bHovered; }
    bool IsDefault() const { return m_bDefault; }
    HWND GetTooltipHwnd() const { return m_hTooltip; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

protected:
    void PreSubclassWindow() override;

    // The drawing steps, in order; a derived button may replace any of them.
    virtual void OnDrawBackground(CDC* pDC, const CRect& rcItem);
    virtual void OnDrawBorder(CDC* pDC, const CRect& rcItem);
    virtual void OnDrawIcon(CDC* pDC, const CRect& rcItem, const CRect& rcImage);
    virtual void OnDrawBitmap(CDC* pDC, const CRect& rcImage);
    virtual void OnDrawText(CDC* pDC, const CString& strCaption, CRect rcCaption);

    BOOL OnClicked();
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnKillFocus(CWnd* pNewWnd);
    void OnCancelMode();
    void OnSysColorChange();
    UINT OnGetDlgCode();
    void OnDestroy();
    LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // State, as DrawItem and the drawing steps see it.
    bool m_bIsPressed = false;
    bool m_bIsFocused = false;
    bool m_bHovered = false;

private:
    struct IconImage {
        HICON hIcon = nullptr;
        int width = 0, height = 0;
    };
    struct BitmapImage {
        HBITMAP hBitmap = nullptr;
        int width = 0, height = 0;
        HBITMAP hMask = nullptr;
        COLORREF crTransparent = 0;
    };

    void FreeImages();
    void EndHover();
    void CreateTooltip();
    void ResetColors();
    // Copies the parent's pixels under the button, taken once, onto the whole button.
    void PaintCachedBackground(CDC* pDC);
    int ActiveSlot(bool normalSet) const;
    // Sets the image slot from a loaded bitmap; false when its size cannot be read or
    // its mask cannot be made (the returned result says which).
    DWORD InstallBitmap(BitmapImage& slot, HBITMAP hBitmap, COLORREF crTransparent);

    // What the images were set from, to load them again at another scale.
    enum class ImageKind { None, Icons, Bitmaps };
    ImageKind m_imageKind = ImageKind::None;
    UINT m_imageIds[2] = {};
    COLORREF m_imageKeys[2] = {};
    int m_nDpi = 96;

    skinbutton::Placement m_placement;
    bool m_bFlat = true;
    bool m_bTransparent = false;
    bool m_bDefault = false;
    BYTE m_byAlign = skinbutton::ALIGN_HORIZ;
    bool m_bDrawBorder = true;
    COLORREF m_crColors[skinbutton::COLOR_COUNT];
    HWND m_hTooltip = nullptr;
    // The parent's pixels under the button, taken at the first transparent draw.
    CMemoryDC m_dcBackground;
    bool m_bAlwaysTrack = true;
    IconImage m_icons[2];
    BitmapImage m_bitmaps[2];
};
