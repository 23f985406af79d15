// The fading picture as a real window: the worker thread's resize and steps, painting
// during and after the fade, and destroying the control while its thread still runs.
#include "controls/tests/controls_test_support.h"

using namespace ctltest;

namespace {

int CountDifferences(const Pixels& a, const Pixels& b)
{
    int n = 0;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (a.At(x, y) != b.At(x, y))
                ++n;
    return n;
}

void FillWindow(HWND h, COLORREF c)
{
    RECT rc;
    ::GetClientRect(h, &rc);
    HDC hdc = ::GetDC(h);
    HBRUSH br = ::CreateSolidBrush(c);
    ::FillRect(hdc, &rc, br);
    ::DeleteObject(br);
    ::ReleaseDC(h, hdc);
}

class FadePictureWindow : public ::testing::Test {
protected:
    CControlsDlg dlg;
    void Start(int delayMs)
    {
        dlg.m_bStartFade = true;
        dlg.m_nFadeDelay = delayMs;
        ShowDialog(dlg);
    }
    void TearDown() override
    {
        if (dlg.m_hWnd)
            dlg.DestroyWindow();
        Pump(nullptr, 0);
    }
};

} // namespace

TEST_F(FadePictureWindow, FadeEndsOpaqueAtTheBitmapSizeWhereThePagePutIt)
{
    Start(10);
    EXPECT_TRUE(dlg.m_picture.HasFadeThread());
    ASSERT_TRUE(PumpUntil(dlg.m_hWnd, [&] { return dlg.m_picture.IsFadeDone(); }, 10000));

    // Moved by the page to (20, 150) right after the start, resized by the thread.
    CRect rc;
    dlg.m_picture.GetWindowRect(&rc);
    dlg.ScreenToClient(&rc);
    EXPECT_EQ(rc.left, 20);
    EXPECT_EQ(rc.top, 150);
    EXPECT_EQ(rc.Width(), 265);
    EXPECT_EQ(rc.Height(), 196);

    // The last step leaves the bitmap itself on screen.
    const Pixels bmp = BitmapPixels(IDB_WELCOME);
    const Pixels px = Capture(dlg.m_picture.m_hWnd);
    ASSERT_EQ(px.width, bmp.width);
    ASSERT_EQ(px.height, bmp.height);
    EXPECT_EQ(CountDifferences(px, bmp), 0);

    // Afterwards a paint draws the whole picture again.
    FillWindow(dlg.m_picture.m_hWnd, RGB(0, 0, 255));
    dlg.m_picture.Invalidate(FALSE);
    dlg.m_picture.UpdateWindow();
    EXPECT_EQ(CountDifferences(Capture(dlg.m_picture.m_hWnd), bmp), 0);
}

// Moved to a 150 % monitor during its slow fade, the picture stops fading, takes the size of
// the bitmap made for that scale and shows it whole; back at 100 % the 100 % one.
TEST_F(FadePictureWindow, AChangeOfScaleShowsThatScalesPictureWhole)
{
    Start(400);
    // Room in the dialog for the larger picture.
    dlg.SetWindowPos(nullptr, 0, 0, 700, 700, SWP_NOMOVE | SWP_NOZORDER);
    Pump(dlg.m_hWnd, 500);
    ASSERT_FALSE(dlg.m_picture.IsFadeDone());
    dlg.m_picture.SetDpi(144);
    EXPECT_TRUE(dlg.m_picture.IsFadeDone());
    EXPECT_FALSE(dlg.m_picture.HasFadeThread());
    dlg.m_picture.UpdateWindow();
    const Pixels large = BitmapPixels(IDB_WELCOME + IMAGE_SET_150);
    Pixels px = Capture(dlg.m_picture.m_hWnd);
    ASSERT_EQ(px.width, 398);
    ASSERT_EQ(px.height, 294);
    EXPECT_EQ(CountDifferences(px, large), 0);

    dlg.m_picture.SetDpi(96);
    dlg.m_picture.UpdateWindow();
    px = Capture(dlg.m_picture.m_hWnd);
    ASSERT_EQ(px.width, 265);
    EXPECT_EQ(CountDifferences(px, BitmapPixels(IDB_WELCOME)), 0);
}

TEST_F(FadePictureWindow, PaintDuringTheFadeOnlyValidates)
{
    // A minute between steps: after the first one (alpha 0, which changes no pixel) the
    // thread draws nothing more while the test looks, however slow the machine.
    Start(60000);
    HWND h = dlg.m_picture.m_hWnd;
    // The thread has started: its resize to the bitmap's size has been carried out.
    ASSERT_TRUE(PumpUntil(dlg.m_hWnd, [&] {
        RECT rc{};
        ::GetClientRect(h, &rc);
        return rc.right == 265 && rc.bottom == 196;
    }, 10000));
    ASSERT_FALSE(dlg.m_picture.IsFadeDone());
    FillWindow(h, RGB(0, 0, 255));
    dlg.m_picture.Invalidate(FALSE);
    dlg.m_picture.UpdateWindow();
    RECT rcUpdate;
    EXPECT_FALSE(::GetUpdateRect(h, &rcUpdate, FALSE));
    // Still the marker, everywhere: the paint drew nothing.
    const Pixels px = Capture(h);
    int notMarker = 0;
    for (int y = 0; y < px.height; ++y)
        for (int x = 0; x < px.width; ++x)
            if (px.At(x, y) != RGB(0, 0, 255))
                ++notMarker;
    EXPECT_EQ(notMarker, 0) << Hex(px.At(130, 100));
}

TEST_F(FadePictureWindow, DestroyingTheControlMidFadeStopsAndJoinsTheThread)
{
    // Half a second a step: the fade would last 26 s.
    Start(500);
    Pump(dlg.m_hWnd, 1000);
    ASSERT_TRUE(dlg.m_picture.HasFadeThread());
    ASSERT_FALSE(dlg.m_picture.IsFadeDone());
    const DWORD t0 = ::GetTickCount();
    dlg.DestroyWindow();
    // Joined before the window went: no thread left to draw on a dead window, and the
    // remaining 25 seconds of fading were not waited out (the join takes milliseconds; the
    // limit leaves a loaded machine room).
    EXPECT_FALSE(dlg.m_picture.HasFadeThread());
    EXPECT_LT(::GetTickCount() - t0, 10000u);
    Pump(nullptr, 300);
}

TEST_F(FadePictureWindow, DestroyingBeforeTheThreadCouldResizeDoesNotHang)
{
    // The thread's resize waits for this thread; destroying at once must still return.
    dlg.m_bStartFade = true;
    dlg.m_nFadeDelay = 100;
    ASSERT_TRUE(dlg.Create(IDD_CONTROLS_TEST));
    dlg.DestroyWindow();
    EXPECT_FALSE(dlg.m_picture.HasFadeThread());
}

TEST_F(FadePictureWindow, MissingBitmapStartsNothing)
{
    ShowDialog(dlg);
    EXPECT_FALSE(dlg.m_picture.StartFade(9999, 10));
    EXPECT_FALSE(dlg.m_picture.HasFadeThread());
    EXPECT_FALSE(dlg.m_picture.IsFadeDone());
    EXPECT_EQ(CFadePicture::kStepCount, 52);

    // A control without a window has nothing to fade on.
    CFadePicture unattached;
    EXPECT_FALSE(unattached.StartFade(IDB_WELCOME, 10));
    EXPECT_FALSE(unattached.HasFadeThread());
}
