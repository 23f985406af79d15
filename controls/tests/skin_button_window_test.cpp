// The skinned button as a real window: image placement and state by pixels, hover by real
// mouse movement, frames, colour-keyed bitmaps, clicks, focus, colours, tooltip, styles.
#include "controls/tests/controls_test_support.h"

#include <commctrl.h>

using namespace ctltest;

namespace {

// A fully opaque pixel where two icons differ, to tell them apart on screen.
POINT DistinguishingPixel(const Pixels& a, const Pixels& b)
{
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const COLORREF pa = a.At(x, y), pb = b.At(x, y);
            if ((pa >> 24) == 0xFF && (pb >> 24) == 0xFF && (pa & 0xFFFFFF) != (pb & 0xFFFFFF))
                return POINT{x, y};
        }
    return POINT{-1, -1};
}

COLORREF Rgb(COLORREF withAlpha) { return withAlpha & 0xFFFFFF; }

class SkinButtonWindow : public ::testing::Test {
protected:
    CControlsDlg dlg;

    void SetUp() override { ShowDialog(dlg); }
    void TearDown() override
    {
        MouseButton(false);
        dlg.DestroyWindow();
        Pump(nullptr, 0);
    }
    void Settle(DWORD ms = 40) { Pump(dlg.m_hWnd, ms); }
    void Hover(CWnd& w, int x, int y)
    {
        MouseMoveTo(w.m_hWnd, x, y);
        Settle();
        MouseMoveTo(w.m_hWnd, x + 1, y); // a second move: the first may only enter
        Settle();
    }
    void Away()
    {
        MouseMoveTo(dlg.m_hWnd, 400, 380); // plain backdrop of the dialog
        Settle();
    }
};

} // namespace

TEST_F(SkinButtonWindow, IconSwapsAndMovesWithHoverAndPress)
{
    const Pixels normal = IconPixels(IDI_ADD_TASK);
    const Pixels hover = IconPixels(IDI_ADD_TASK_HOVER);
    ASSERT_EQ(normal.width, 16);
    const POINT p = DistinguishingPixel(normal, hover);
    ASSERT_GE(p.x, 0);
    HWND h = dlg.m_btnAdd.m_hWnd;
    Away();

    // A 16 × 16 icon centred on the 32 × 32 button: at (8, 8), normal icon at rest.
    Pixels px = Capture(h);
    EXPECT_EQ(Hex(px.At(8 + p.x, 8 + p.y)), Hex(Rgb(normal.At(p.x, p.y))));
    EXPECT_EQ(Hex(px.At(0, 0)), Hex(kBackdrop)); // transparent, no frame

    Hover(dlg.m_btnAdd, 16, 16);
    EXPECT_TRUE(dlg.m_btnAdd.IsHovered());
    px = Capture(h);
    EXPECT_EQ(Hex(px.At(8 + p.x, 8 + p.y)), Hex(Rgb(hover.At(p.x, p.y))));
    EXPECT_EQ(Hex(px.At(0, 0)), Hex(kBackdrop)); // border off: no frame while hovered

    MouseButton(true);
    Settle();
    px = Capture(h);
    // Pressed: the hover icon, one pixel right and down.
    EXPECT_EQ(Hex(px.At(9 + p.x, 9 + p.y)), Hex(Rgb(hover.At(p.x, p.y))));
    EXPECT_EQ(Hex(px.At(0, 0)), Hex(kBackdrop));
    MouseButton(false);
    Settle();
    ASSERT_EQ(dlg.m_clicks.size(), 1u);
    EXPECT_EQ(dlg.m_clicks[0], static_cast<UINT>(IDC_T_ADD));
}

TEST_F(SkinButtonWindow, LargeIconIsPlacedByItsHotspot)
{
    // The 67 × 67 Start icon has its hotspot at (33, 33): placed as 66 × 66 on 95 × 75.
    const Pixels normal = IconPixels(IDI_START_CONVERT);
    ASSERT_EQ(normal.width, 67);
    Away();
    const Pixels px = Capture(dlg.m_btnStart.m_hWnd);
    int checked = 0;
    for (int y = 0; y < 67; y += 6)
        for (int x = 0; x < 67; x += 6)
            if ((normal.At(x, y) >> 24) == 0xFF) {
                EXPECT_EQ(Hex(px.At(14 + x, 4 + y)), Hex(Rgb(normal.At(x, y)))) << x << "," << y;
                ++checked;
            }
    EXPECT_GT(checked, 40);
}

TEST_F(SkinButtonWindow, BitmapBesideCaptionWithGreenShowingTheBackground)
{
    const Pixels bmp = BitmapPixels(IDB_HELP);
    ASSERT_EQ(bmp.width, 21);
    Away();
    const Pixels px = Capture(dlg.m_btnHelp.m_hWnd);
    ASSERT_EQ(px.width, 70);
    int opaque = 0, keyed = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x) {
            const COLORREF src = bmp.At(x, y);
            // The 21 × 21 bitmap at (3, 4); its green pixels show the parent.
            const COLORREF expected = src == RGB(0, 255, 0) ? kBackdrop : src;
            EXPECT_EQ(Hex(px.At(3 + x, 4 + y)), Hex(expected)) << x << "," << y;
            ++(src == RGB(0, 255, 0) ? keyed : opaque);
        }
    EXPECT_GT(keyed, 0);
    EXPECT_GT(opaque, 0);

    // The caption is centred in the area right of the image (x 24 to 70).
    int minX = 70, maxX = -1;
    for (int y = 1; y < 29; ++y)
        for (int x = 24; x < 69; ++x)
            if (px.At(x, y) != kBackdrop) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    ASSERT_GE(maxX, minX) << "no caption drawn";
    // The ink is compared, not the layout box: Tahoma's side bearings leave the ink of "Help"
    // up to 2 pixels left of the centre its layout box is placed at. A caption that is not
    // centred at all (drawn from the left of the area) would be 12 pixels off.
    EXPECT_NEAR((minX + maxX + 1) / 2.0, (24 + 70) / 2.0, 2.5);
}

// At 150 % the Help button, 105 x 45, shows the 32 x 32 bitmap made for that scale, 5 pixels
// (3 scaled) in and centred down, its green showing the parent, not the button as it was.
TEST_F(SkinButtonWindow, BitmapOfItsDisplayScale)
{
    const Pixels bmp = BitmapPixels(IDB_HELP + IMAGE_SET_150);
    ASSERT_EQ(bmp.width, 32);
    Away();
    // As the page does on a change of scale: the controls moved and told, then the parent's
    // background repainted before the controls.
    auto rescale = [this](int cx, int cy, int dpi) {
        dlg.m_btnHelp.MoveWindow(180, 60, cx, cy);
        dlg.m_btnHelp.SetDpi(dpi);
        ::RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle();
    };
    rescale(105, 45, 144);
    const Pixels px = Capture(dlg.m_btnHelp.m_hWnd);
    ASSERT_EQ(px.width, 105);
    int keyed = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const COLORREF src = bmp.At(x, y);
            const COLORREF expected = src == RGB(0, 255, 0) ? kBackdrop : src;
            EXPECT_EQ(Hex(px.At(5 + x, 6 + y)), Hex(expected)) << x << "," << y;
            keyed += src == RGB(0, 255, 0);
        }
    EXPECT_GT(keyed, 0);
    // Back at 96 dpi the 21 x 21 bitmap is drawn again.
    rescale(70, 30, 96);
    const Pixels small = BitmapPixels(IDB_HELP);
    const Pixels again = Capture(dlg.m_btnHelp.m_hWnd);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x)
            if (small.At(x, y) != RGB(0, 255, 0))
                EXPECT_EQ(Hex(again.At(3 + x, 4 + y)), Hex(small.At(x, y))) << x << "," << y;
}

TEST_F(SkinButtonWindow, FramesOnlyWithDrawBorderWhileHoveredOrPressed)
{
    HWND h = dlg.m_btnHelp.m_hWnd;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    Away();
    Pixels px = Capture(h);
    EXPECT_EQ(Hex(px.At(0, 0)), Hex(kBackdrop)); // flat at rest

    Hover(dlg.m_btnHelp, 50, 15);
    px = Capture(h);
    EXPECT_EQ(Hex(px.At(0, 0)), Hex(light)); // raised
    EXPECT_EQ(Hex(px.At(69, 29)), Hex(dark));

    MouseButton(true);
    Settle();
    px = Capture(h);
    EXPECT_EQ(Hex(px.At(0, 0)), Hex(dark)); // sunken
    EXPECT_EQ(Hex(px.At(69, 29)), Hex(light));
    MouseButton(false);
    Settle();
}

TEST_F(SkinButtonWindow, HoverEndsWhenThePointerJumpsAway)
{
    Hover(dlg.m_btnPlay, 9, 9);
    ASSERT_TRUE(dlg.m_btnPlay.IsHovered());
    // Straight off the dialog: the button gets no further mouse move, only the leave.
    MouseMoveToScreen(900, 900);
    EXPECT_TRUE(PumpUntil(dlg.m_hWnd, [&] { return !dlg.m_btnPlay.IsHovered(); }, 3000));
    const Pixels bmp = BitmapPixels(IDB_PREVIEW_PLAY);
    const Pixels px = Capture(dlg.m_btnPlay.m_hWnd);
    EXPECT_EQ(Hex(px.At(8, 9)), Hex(bmp.At(8, 9))); // the normal image again
}

TEST_F(SkinButtonWindow, DragEnteringDoesNotLightTheButton)
{
    Away();
    MouseButton(true);
    Settle();
    Hover(dlg.m_btnAdd, 16, 16);
    EXPECT_FALSE(dlg.m_btnAdd.IsHovered());
    MouseButton(false);
    Settle();
    EXPECT_TRUE(dlg.m_clicks.empty());
}

TEST_F(SkinButtonWindow, DoubleClickIsTwoClicksAndClickTakesFocus)
{
    ::SetFocus(dlg.m_btnBrowse.m_hWnd);
    Hover(dlg.m_btnHelp, 35, 15);
    MouseButton(true);
    MouseButton(false);
    MouseButton(true);
    MouseButton(false);
    Settle(100);
    EXPECT_EQ(std::count(dlg.m_clicks.begin(), dlg.m_clicks.end(), static_cast<UINT>(IDC_T_HELP)), 2);
    EXPECT_EQ(dlg.m_nDoubleClicks, 0);
    EXPECT_EQ(::GetFocus(), dlg.m_btnHelp.m_hWnd);
}

TEST_F(SkinButtonWindow, SystemColourChangeRestoresColoursAndRetakesBackground)
{
    CSkinButton& b = dlg.m_btnAdd;
    EXPECT_EQ(b.GetColor(3), RGB(49, 66, 97));
    EXPECT_EQ(b.GetColor(1), RGB(20, 20, 20));

    // A new parent backdrop does not reach the button: it draws its cached copy.
    dlg.m_crBackdrop = RGB(0, 128, 128);
    ::RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle();
    EXPECT_EQ(Hex(Capture(b.m_hWnd).At(0, 0)), Hex(kBackdrop));

    b.SendMessage(WM_SYSCOLORCHANGE);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(b.GetColor(static_cast<BYTE>(i)), ::GetSysColor(i % 2 ? COLOR_BTNTEXT : COLOR_BTNFACE)) << i;
    ::RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle();
    EXPECT_EQ(Hex(Capture(b.m_hWnd).At(0, 0)), Hex(RGB(0, 128, 128)));
}

TEST_F(SkinButtonWindow, TooltipToolKeepsItsFirstRectangle)
{
    HWND hTip = dlg.m_btnAdd.GetTooltipHwnd();
    ASSERT_NE(hTip, nullptr);
    dlg.m_btnAdd.SetTooltipText("Another text");
    dlg.m_btnAdd.MoveWindow(20, 60, 50, 50);
    dlg.m_btnAdd.SetTooltipText(nullptr); // ignored
    EXPECT_EQ(::SendMessageA(hTip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[80] = {};
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = dlg.m_btnAdd.m_hWnd;
    ti.uId = 1;
    ti.lpszText = text;
    ASSERT_TRUE(::SendMessageA(hTip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
    // The text was first set before the dialog moved the button from its template size
    // (20 × 20 dialog units) to 32 × 32; the later moves did not reach the tool.
    RECT rcTemplate{0, 0, 20, 20};
    ::MapDialogRect(dlg.m_hWnd, &rcTemplate);
    ASSERT_NE(rcTemplate.right, 32);
    EXPECT_EQ(ti.rect.right - ti.rect.left, rcTemplate.right);
    EXPECT_EQ(ti.rect.bottom - ti.rect.top, rcTemplate.bottom);
    EXPECT_STREQ(text, "Another text");
}

TEST_F(SkinButtonWindow, StaysAnOwnerDrawnPushButton)
{
    CSkinButton& b = dlg.m_btnHelp;
    EXPECT_EQ(b.GetStyle() & 0x1F, static_cast<DWORD>(BS_OWNERDRAW));
    b.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(b.SendMessage(BM_GETCHECK), 0);

    b.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(b.IsDefault());
    EXPECT_EQ(b.GetStyle() & 0x1F, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(b.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON), DLGC_DEFPUSHBUTTON);
    b.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(b.IsDefault());
    EXPECT_EQ(b.SendMessage(WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON), DLGC_UNDEFPUSHBUTTON);

    // Setters refuse what they cannot store, and a failed image load leaves no images.
    EXPECT_EQ(b.SetAlign(4), 4u);
    EXPECT_EQ(b.SetColor(6, 0), 3u);
    EXPECT_EQ(b.SetBitmaps(9999, 0, 0, 0), 1u);
    EXPECT_EQ(b.SetIcons(9999, 0), 1u);
}
