// Shared by the controls' window tests: a dialog holding the three controls over a known
// backdrop, a message pump that goes through PreTranslateMessage like the program's loop,
// real input through SendInput, and pixel reading.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/FadePicture.h"
#include "controls/RangeSlider.h"
#include "controls/SkinButton.h"
#include "controls/tests/controls_test_ids.h"
#include "framework/Dialog.h"
#include "res/Images.h"

namespace ctltest {

// A backdrop colour no image of the program uses, so that a pixel that shows it can only
// come from the parent.
constexpr COLORREF kBackdrop = RGB(200, 0, 200);

struct RangeNote {
    WPARAM code;
    LPARAM dragEnded;
    double left, right; // the selection as the parent reads it during the notification
};

class CControlsDlg : public CDialog {
public:
    CControlsDlg() : CDialog(IDD_CONTROLS_TEST) {}

    CRangeSlider m_slider;
    CSkinButton m_btnAdd, m_btnStart, m_btnHelp, m_btnPlay;
    CButton m_btnBrowse;
    CFadePicture m_picture;

    std::vector<RangeNote> m_ranges;
    std::vector<UINT> m_clicks;        // ids, in order
    int m_nDoubleClicks = 0;
    COLORREF m_crBackdrop = kBackdrop;
    bool m_bPageBackground = false;    // the page's picture instead of the plain colour
    bool m_bStartFade = false;
    int m_nFadeDelay = 100;

    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_T_SLIDER, m_slider);
        DDX_Control(pDX, IDC_T_ADD, m_btnAdd);
        DDX_Control(pDX, IDC_T_START, m_btnStart);
        DDX_Control(pDX, IDC_T_HELP, m_btnHelp);
        DDX_Control(pDX, IDC_T_PLAY, m_btnPlay);
        DDX_Control(pDX, IDC_T_BROWSE, m_btnBrowse);
        DDX_Control(pDX, IDC_T_PICTURE, m_picture);
    }

    // Configured the way the main page configures its controls.
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_bmpPage.LoadBitmap(IDB_PAGE_BACKGROUND);

        m_btnAdd.SetIcons(IDI_ADD_TASK_HOVER, IDI_ADD_TASK);
        m_btnStart.SetIcons(IDI_START_CONVERT_HOVER, IDI_START_CONVERT);
        for (CSkinButton* b : {&m_btnAdd, &m_btnStart}) {
            b->DrawTransparent();
            b->SetDrawBorder(FALSE);
            b->SetAlign(1);
            b->SetColor(3, RGB(49, 66, 97));
            b->SetColor(1, RGB(20, 20, 20));
            b->SetColor(5, RGB(49, 66, 97));
            b->SetColor(0, RGB(49, 66, 97));
        }
        m_btnHelp.SetBitmaps(IDB_HELP, RGB(0, 255, 0), IDB_HELP, RGB(0, 255, 0));
        m_btnPlay.SetBitmaps(IDB_PREVIEW_PLAY_HOVER, RGB(0, 255, 0), IDB_PREVIEW_PLAY, RGB(0, 255, 0));
        for (CSkinButton* b : {&m_btnHelp, &m_btnPlay}) {
            b->DrawTransparent();
            b->SetDrawBorder(FALSE);
        }
        m_btnHelp.SetDrawBorder(TRUE);
        m_btnAdd.SetTooltipText("Add a video to converting task");
        m_btnHelp.SetTooltipText("Contents");
        m_btnPlay.SetTooltipText("Preview selected videos");
        m_btnStart.SetTooltipText("Start Converting");

        if (m_bStartFade)
            m_picture.StartFade(IDB_WELCOME, m_nFadeDelay);

        m_slider.MoveWindow(20, 20, 222, 18);
        m_btnAdd.MoveWindow(20, 60, 32, 32);
        m_btnStart.MoveWindow(70, 60, 95, 75);
        m_btnHelp.MoveWindow(180, 60, 70, 30);
        m_btnPlay.MoveWindow(260, 60, 19, 19);
        m_btnBrowse.MoveWindow(300, 60, 60, 20);
        m_picture.MoveWindow(20, 150, 264, 200);
        return TRUE;
    }

protected:
    BOOL OnEraseBkgnd(CDC* pDC)
    {
        CRect rc;
        GetClientRect(&rc);
        if (m_bPageBackground && m_bmpPage.GetSafeHandle()) {
            CDC dcMem;
            dcMem.CreateCompatibleDC(pDC);
            CSelectObject sel(dcMem, m_bmpPage);
            const CSize size = m_bmpPage.GetSize();
            pDC->StretchBlt(0, 0, rc.Width(), rc.Height(), &dcMem, 0, 0, size.cx, size.cy, SRCCOPY);
        } else {
            pDC->FillSolidRect(&rc, m_crBackdrop);
        }
        return TRUE;
    }
    LRESULT OnRangeChanged(WPARAM wParam, LPARAM lParam)
    {
        double l = 0, r = 0;
        m_slider.GetSelection(l, r);
        m_ranges.push_back({wParam, lParam, l, r});
        return 0;
    }
    void OnAdd() { m_clicks.push_back(IDC_T_ADD); }
    void OnStart() { m_clicks.push_back(IDC_T_START); }
    void OnHelp() { m_clicks.push_back(IDC_T_HELP); }
    void OnPlay() { m_clicks.push_back(IDC_T_PLAY); }
    void OnHelpDouble() { ++m_nDoubleClicks; }
    DECLARE_MESSAGE_MAP()

private:
    CBitmap m_bmpPage;
};

// --- pumping and input ---------------------------------------------------------------------

// Dispatches what is queued, through PreTranslateMessage and the dialog manager like the
// program's own loop; keeps at it for at least ms milliseconds.
void Pump(HWND hDlg, DWORD ms = 0);
// Pumps until pred() holds or timeoutMs passes; returns pred().
template <class Pred>
bool PumpUntil(HWND hDlg, Pred pred, DWORD timeoutMs = 5000)
{
    const DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start > timeoutMs)
            return pred();
        Pump(hDlg, 10);
    }
    return true;
}

// Real input: the pointer goes to a point in hWnd's client coordinates.
void MouseMoveTo(HWND hWnd, int x, int y);
void MouseMoveToScreen(int x, int y);
void MouseButton(bool down);
void Key(WORD vk, bool down);
// Presses and releases vk with the given modifiers held.
void KeyPress(WORD vk, bool shift = false, bool ctrl = false);

// --- pixels --------------------------------------------------------------------------------

// A copy of a window's client area as 0x00RRGGBB values, row by row.
struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> data; // COLORREF order (0x00BBGGRR)
    COLORREF At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};
Pixels Capture(HWND hWnd);
// The pixels of a bitmap resource.
Pixels BitmapPixels(UINT nBitmapId);
// The colour and alpha of an icon resource's pixels (alpha in the top byte).
Pixels IconPixels(UINT nIconId);
std::string Hex(COLORREF c);

// Creates the dialog, shows it at the screen's top-left corner and lets it paint.
void ShowDialog(CControlsDlg& dlg);

} // namespace ctltest
