// The range slider as a real window under real input: notifications to the parent, focus,
// capture, keys through the dialog manager, and the painted pixels.
#include "controls/tests/controls_test_support.h"

using namespace ctltest;

namespace {

constexpr COLORREF kEdge = RGB(128, 130, 132);
constexpr COLORREF kFace = RGB(215, 215, 215);
constexpr COLORREF kLight = RGB(255, 255, 255);
const COLORREF kTrackRows[11] = {kEdge, kFace, kFace, kFace, kFace, kFace, kFace, kFace, kFace, kEdge, kLight};
const COLORREF kBarRows[7] = {RGB(136, 199, 255), RGB(136, 199, 255), RGB(134, 197, 255), RGB(100, 169, 255),
                              RGB(92, 162, 255), RGB(113, 180, 255), RGB(133, 196, 255)};

class RangeSliderWindow : public ::testing::Test {
protected:
    CControlsDlg dlg;
    HWND hSlider = nullptr;

    void SetUp() override
    {
        ShowDialog(dlg);
        hSlider = dlg.m_slider.m_hWnd;
        ASSERT_NE(hSlider, nullptr);
    }
    void TearDown() override
    {
        MouseButton(false);
        dlg.DestroyWindow();
        Pump(nullptr, 0);
    }
    // Scale [0, 196] on the 222-pixel slider: values equal pixels.
    void PixelScale(double left, double right)
    {
        dlg.m_slider.SetBounds(0, 196);
        dlg.m_slider.SetSelection(left, right);
        dlg.m_slider.UpdateWindow();
        Pump(dlg.m_hWnd, 30);
        dlg.m_ranges.clear();
    }
    void Move(int x, int y = 9)
    {
        MouseMoveTo(hSlider, x, y);
        Pump(dlg.m_hWnd, 20);
    }
    void Button(bool down)
    {
        MouseButton(down);
        Pump(dlg.m_hWnd, 20);
    }
    void ExpectNotes(const std::vector<RangeNote>& expected)
    {
        ASSERT_EQ(dlg.m_ranges.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(dlg.m_ranges[i].code, expected[i].code) << "note " << i;
            EXPECT_EQ(dlg.m_ranges[i].dragEnded, expected[i].dragEnded) << "note " << i;
            EXPECT_NEAR(dlg.m_ranges[i].left, expected[i].left, 1e-9) << "note " << i;
            EXPECT_NEAR(dlg.m_ranges[i].right, expected[i].right, 1e-9) << "note " << i;
        }
    }
};

} // namespace

TEST_F(RangeSliderWindow, WindowClassMessageAndNewState)
{
    WNDCLASSA wc{};
    ASSERT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), "MFCRangeSlider", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(wc.hbrBackground, nullptr);
    // Registered from the exact string: any other program registering it gets the same id.
    EXPECT_EQ(RANGE_CHANGED,
              ::RegisterWindowMessageA("RANGE_CHANGED{2E7439A4-12DB-42a2-BB95-3462B3EC39CE}CRangeSlider"));
    EXPECT_GE(RANGE_CHANGED, 0xC000u);
    EXPECT_EQ(::SendMessageA(hSlider, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);

    double l = -1, r = -1;
    dlg.m_slider.GetSelection(l, r);
    EXPECT_EQ(l, 0.0);
    EXPECT_EQ(r, 1.0);
    dlg.m_slider.SetBounds(120, 0);
    dlg.m_slider.GetBounds(l, r);
    EXPECT_EQ(l, 0.0);
    EXPECT_EQ(r, 120.0);
    EXPECT_TRUE(dlg.m_ranges.empty());

    // The normalisation's corrections reach the parent, in order.
    dlg.m_slider.SetBounds(10, 20);
    ExpectNotes({{0, 0, 10, 1}, {1, 0, 10, 10}});
}

TEST_F(RangeSliderWindow, PaintsTrackThumbsAndBarOverTheParentBackdrop)
{
    PixelScale(50, 100); // left thumb x 50..62, right thumb 113..125, bar x 62..113
    const Pixels px = Capture(hSlider);
    ASSERT_EQ(px.width, 222);
    ASSERT_EQ(px.height, 18);
    for (int y = 0; y < 18; ++y) {
        // Beyond the thumbs: the track's rows between the parent's backdrop.
        const COLORREF expected = (y >= 3 && y < 14) ? kTrackRows[y - 3] : kBackdrop;
        EXPECT_EQ(Hex(px.At(200, y)), Hex(expected)) << "track, y " << y;
        EXPECT_EQ(Hex(px.At(0, y)), Hex(y >= 3 && y < 14 ? kTrackRows[y - 3] : kBackdrop)) << "left end, y " << y;
    }
    for (int y = 5; y < 12; ++y) {
        EXPECT_EQ(Hex(px.At(80, y)), Hex(kBarRows[y - 5])) << "bar, y " << y;
        // The bar covers the inner column of each thumb.
        EXPECT_EQ(Hex(px.At(62, y)), Hex(kBarRows[y - 5])) << "left inner column, y " << y;
        EXPECT_EQ(Hex(px.At(113, y)), Hex(kBarRows[y - 5])) << "right inner column, y " << y;
    }
    EXPECT_EQ(Hex(px.At(80, 4)), Hex(kTrackRows[1]));
    EXPECT_EQ(Hex(px.At(80, 12)), Hex(kTrackRows[9]));
    for (int y = 0; y < 17; ++y) {
        EXPECT_EQ(Hex(px.At(50, y)), Hex(kEdge)) << "left thumb's outer frame, y " << y;
        EXPECT_EQ(Hex(px.At(125, y)), Hex(kEdge)) << "right thumb's outer frame, y " << y;
    }
    EXPECT_EQ(Hex(px.At(50, 17)), Hex(kBackdrop)); // thumbs are one pixel shorter
    EXPECT_EQ(Hex(px.At(56, 0)), Hex(kEdge));      // top frame row
    EXPECT_NE(Hex(px.At(56, 8)), Hex(kEdge));      // inside the frame
}

// At 150 % the slider draws the images made for that scale pixel for pixel (thumbs 20 x 26
// with a two-pixel frame, a 17-pixel track, an 11-pixel bar): nothing is stretched upward.
TEST_F(RangeSliderWindow, DrawsTheImagesOfItsDisplayScale)
{
    CRect rc;
    dlg.m_slider.GetWindowRect(&rc);
    dlg.ScreenToClient(&rc);
    dlg.m_slider.MoveWindow(rc.left, rc.top, 333, 27);
    dlg.m_slider.SetDpi(144);
    // A 293-pixel track: values equal pixels. Left thumb x 50..70, right thumb 120..140, bar
    // from the left thumb's inner frame (x 68) to the right one's (x 122).
    dlg.m_slider.SetBounds(0, 293);
    dlg.m_slider.SetSelection(50, 100);
    dlg.m_slider.UpdateWindow();
    Pump(dlg.m_hWnd, 30);
    const Pixels thumbLeft = BitmapPixels(IDB_SLIDER_THUMB_LEFT + IMAGE_SET_150);
    const Pixels thumbRight = BitmapPixels(IDB_SLIDER_THUMB_RIGHT + IMAGE_SET_150);
    const Pixels track = BitmapPixels(IDB_SLIDER_TRACK + IMAGE_SET_150);
    const Pixels bar = BitmapPixels(IDB_SLIDER_BAR + IMAGE_SET_150);
    ASSERT_EQ(thumbLeft.width, 20);
    ASSERT_EQ(thumbLeft.height, 26);
    ASSERT_EQ(track.height, 17);
    ASSERT_EQ(bar.height, 11);

    const Pixels px = Capture(hSlider);
    ASSERT_EQ(px.width, 333);
    ASSERT_EQ(px.height, 27);
    auto underBar = [](int x, int y) { return x >= 68 && x < 122 && y >= 8 && y < 19; };
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 20; ++x) {
            if (!underBar(50 + x, y))
                EXPECT_EQ(Hex(px.At(50 + x, y)), Hex(thumbLeft.At(x, y))) << "left thumb " << x << "," << y;
            if (!underBar(120 + x, y))
                EXPECT_EQ(Hex(px.At(120 + x, y)), Hex(thumbRight.At(x, y))) << "right thumb " << x << "," << y;
        }
    for (int y = 0; y < 27; ++y) {
        const COLORREF expected = (y >= 5 && y < 22) ? track.At(0, y - 5) : kBackdrop;
        EXPECT_EQ(Hex(px.At(250, y)), Hex(expected)) << "track, y " << y;
        if (y >= 8 && y < 19)
            EXPECT_EQ(Hex(px.At(95, y)), Hex(bar.At(0, y - 8))) << "bar, y " << y;
    }
}

TEST_F(RangeSliderWindow, LeftThumbDragReportsEachMoveAndTheRelease)
{
    PixelScale(50, 100);
    Move(58); // 2 px right of the left thumb's centre (56)
    EXPECT_TRUE(dlg.m_ranges.empty()); // hovering reports nothing
    Button(true);
    EXPECT_EQ(::GetFocus(), hSlider);
    EXPECT_EQ(::GetCapture(), hSlider);
    Move(72);  // x = 70: left = 70 - 6
    Move(92);  // left = 84
    Move(300); // past the right value: held at 100
    Button(false);
    EXPECT_EQ(::GetCapture(), nullptr);
    ExpectNotes({{0, 0, 64, 100}, {0, 0, 84, 100}, {0, 0, 100, 100}, {0, 1, 100, 100}});
}

TEST_F(RangeSliderWindow, RightThumbHeldByTheLeftReportsCodeZero)
{
    PixelScale(50, 100);
    Move(119); // right thumb's centre: rect 113..125
    Button(true);
    Move(69);  // right = 69 - 19 = 50 - 0: reaches the left value
    Move(20);  // would go below: stays at 50, no change
    Move(139); // right = 120
    Button(false);
    ExpectNotes({{1, 0, 50, 50}, {0, 0, 50, 50}, {1, 0, 50, 120}, {1, 1, 50, 120}});
}

TEST_F(RangeSliderWindow, MiddleBarKeepsItsWidthAgainstBothEnds)
{
    PixelScale(50, 100);
    Move(88); // centre of the middle rectangle 64..111
    Button(true);
    Move(0);   // c = -13: held at the start
    Move(221); // c = 208: held at the end
    Move(113); // c = 100: [75, 125]
    Button(false);
    ExpectNotes({{2, 0, 0, 50}, {2, 0, 146, 196}, {2, 0, 75, 125}, {2, 1, 75, 125}});
}

TEST_F(RangeSliderWindow, ClicksThatStartNoDrag)
{
    // On the track outside thumbs and bar: focus and repaint only.
    PixelScale(50, 100);
    ::SetFocus(dlg.m_btnBrowse.m_hWnd);
    Move(200);
    Button(true);
    EXPECT_EQ(::GetFocus(), hSlider);
    EXPECT_EQ(::GetCapture(), nullptr);
    Move(150);
    Button(false);
    EXPECT_TRUE(dlg.m_ranges.empty());

    // Touching thumbs leave no middle bar: the pixel between them starts nothing.
    PixelScale(50, 51); // left thumb 50..62, right thumb 64..76
    Move(63);
    Button(true);
    Move(120);
    Button(false);
    EXPECT_TRUE(dlg.m_ranges.empty());

    // The second click of a double click is not a button-down: one drag, one release.
    PixelScale(50, 100);
    Move(56);
    Button(true);
    Button(false);
    Button(true);
    Move(90);
    Button(false);
    ExpectNotes({{0, 1, 50, 100}});
}

TEST_F(RangeSliderWindow, ArrowKeysThroughTheDialog)
{
    PixelScale(10, 11);
    ::SetFocus(hSlider);
    KeyPress(VK_LEFT, true); // Shift+Left: the right end meets the left
    Pump(dlg.m_hWnd, 30);
    KeyPress(VK_LEFT, true); // no room left: unchanged, still reported
    Pump(dlg.m_hWnd, 30);
    KeyPress(VK_RIGHT);      // both move right by one pixel
    Pump(dlg.m_hWnd, 30);
    ExpectNotes({{1, 0, 10, 10}, {1, 0, 10, 10}, {2, 0, 11, 11}});
    EXPECT_EQ(::GetFocus(), hSlider); // the dialog did not take the arrows for navigation

    PixelScale(0, 50);
    KeyPress(VK_LEFT); // at the start: unchanged, reported as both
    KeyPress(VK_LEFT, false, true);
    KeyPress(VK_RIGHT, false, true); // Ctrl+arrows are not the slider's
    Pump(dlg.m_hWnd, 50);
    ExpectNotes({{2, 0, 0, 50}});
}

TEST_F(RangeSliderWindow, LosingTheMouseEndsTheDrag)
{
    // Another window takes the capture in mid-drag (a message box, a task switch): the drag
    // ends there, reported once as ended, and plain moves over the slider move nothing.
    PixelScale(50, 100);
    Move(58);
    Button(true);
    Move(72);
    ::SetCapture(dlg.m_btnBrowse.m_hWnd);
    Pump(dlg.m_hWnd, 20);
    Button(false);
    ::ReleaseCapture();
    Move(90);
    Move(120);
    ExpectNotes({{0, 0, 64, 100}, {0, 1, 64, 100}});

    // The system cancelling modes (WM_CANCELMODE) ends a drag the same way.
    PixelScale(50, 100);
    Move(119);
    Button(true);
    Move(139);
    ::SendMessageA(hSlider, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(::GetCapture(), nullptr);
    Button(false);
    Move(160);
    ExpectNotes({{1, 0, 50, 120}, {1, 1, 50, 120}});
}
