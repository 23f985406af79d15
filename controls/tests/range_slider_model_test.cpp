// The range slider's arithmetic: normalisation, layout, hit testing, the three drags, keys.
#include "controls/RangeSliderModel.h"

#include <gtest/gtest.h>

#include <vector>

using namespace rangeslider;

namespace {

// Records each notification with the selection the listener could read at that moment.
struct Recorder : RangeChangeListener {
    struct Entry {
        int code;
        bool dragEnded;
        double left, right;
    };
    const RangeSliderModel* model = nullptr;
    std::vector<Entry> entries;
    void OnRangeChange(int code, bool dragEnded) override
    {
        entries.push_back({code, dragEnded, model->Left(), model->Right()});
    }
};

// A slider 222 × 18 pixels, as on the main page: track length 196.
class SliderTest : public ::testing::Test {
protected:
    static constexpr int W = 222, H = 18;
    RangeSliderModel m{&rec};
    Recorder rec;
    void SetUp() override { rec.model = &m; }
    // Sets scale and selection silently, then lays out as a paint would.
    void Prepare(double mn, double mx, double l, double r)
    {
        m.SetBounds(mn, mx);
        m.SetSelection(l, r);
        m.Layout(W, H);
        rec.entries.clear();
    }
};

} // namespace

TEST_F(SliderTest, NewControlAndBounds)
{
    EXPECT_EQ(m.Min(), 0.0);
    EXPECT_EQ(m.Max(), 1.0);
    EXPECT_EQ(m.Left(), 0.0);
    EXPECT_EQ(m.Right(), 1.0);
    EXPECT_EQ(m.ThumbWidth(), 10);
    EXPECT_FALSE(m.IsTracking());

    m.SetBounds(120, 0); // swapped into order; selection inside, so nothing to report
    EXPECT_EQ(m.Min(), 0.0);
    EXPECT_EQ(m.Max(), 120.0);
    EXPECT_TRUE(rec.entries.empty());
}

TEST_F(SliderTest, NormalisationReportsEachCorrectionInOrder)
{
    m.SetBounds(10, 20);
    // [0, 1] lies below the new scale: left follows min, then right follows left.
    ASSERT_EQ(rec.entries.size(), 2u);
    EXPECT_EQ(rec.entries[0].code, RANGE_LEFT_CHANGED);
    EXPECT_FALSE(rec.entries[0].dragEnded);
    EXPECT_EQ(rec.entries[0].left, 10.0);
    EXPECT_EQ(rec.entries[0].right, 1.0); // right not yet corrected when left is reported
    EXPECT_EQ(rec.entries[1].code, RANGE_RIGHT_CHANGED);
    EXPECT_EQ(rec.entries[1].right, 10.0);

    rec.entries.clear();
    m.SetSelection(5, 15); // only the left end is out: right stays
    ASSERT_EQ(rec.entries.size(), 1u);
    EXPECT_EQ(rec.entries[0].code, RANGE_LEFT_CHANGED);
    EXPECT_EQ(m.Left(), 10.0);
    EXPECT_EQ(m.Right(), 15.0);

    rec.entries.clear();
    m.SetSelection(25, 30); // both above max: right clamps, then left follows it
    ASSERT_EQ(rec.entries.size(), 2u);
    EXPECT_EQ(rec.entries[0].code, RANGE_RIGHT_CHANGED);
    EXPECT_EQ(rec.entries[1].code, RANGE_LEFT_CHANGED);
    EXPECT_EQ(m.Left(), 20.0);
    EXPECT_EQ(m.Right(), 20.0);

    rec.entries.clear();
    m.SetSelection(12, 18); // inside: stored unchanged, silent
    EXPECT_TRUE(rec.entries.empty());
    EXPECT_EQ(m.Left(), 12.0);
    EXPECT_EQ(m.Right(), 18.0);
}

TEST_F(SliderTest, LayoutPlacesThumbsAndBarAtTheValuePixels)
{
    m.SetBounds(0, 120);
    m.SetSelection(30, 90);
    const SliderLayout lay = m.Layout(W, H);
    EXPECT_EQ(m.ThumbWidth(), 13);
    EXPECT_EQ(m.TrackLength(), 196);
    // p(30) = trunc(196 * 30 / 120 + 0.5) = 49; p(90) = trunc(147 + 0.5) = 147
    EXPECT_EQ(lay.leftThumb.x, 49);
    EXPECT_EQ(lay.rightThumb.x, 147 + 13);
    EXPECT_EQ(m.LeftThumbRect(), (IntRect{49, 0, 62, H}));
    EXPECT_EQ(m.RightThumbRect(), (IntRect{160, 0, 173, H}));
    EXPECT_EQ(lay.track, (IntRect{0, 3, W, 14}));
    EXPECT_EQ(lay.bar, (IntRect{61, 5, 61 + 147 - 49 + 2, 12}));

    // Half a pixel rounds up, just under it rounds down.
    m.SetBounds(0, 196);
    m.SetSelection(0.5, 1.49);
    m.Layout(W, H);
    EXPECT_EQ(m.LeftThumbRect().left, 1);
    EXPECT_EQ(m.PixelOf(m.Right()), 1);

    // A scale of zero width draws everything at pixel 0 and never divides by zero.
    m.SetBounds(7, 7);
    m.Layout(W, H);
    EXPECT_EQ(m.LeftThumbRect().left, 0);
    EXPECT_EQ(m.RightThumbRect().left, 13);
}

// At 150 % the page's slider is 333 x 27: thumbs 20 wide, frames 2 pixels, and a drag or a
// key moves the values by the same share of the track as at 96 dpi.
TEST_F(SliderTest, LayoutAndDraggingAtADisplayScale)
{
    m.SetDpi(144);
    m.SetBounds(0, 120);
    m.SetSelection(30, 90);
    const int w = 333, h = 27;
    const SliderLayout lay = m.Layout(w, h);
    EXPECT_EQ(m.ThumbWidth(), 20);
    EXPECT_EQ(m.TrackLength(), w - 40);
    // p(30) = trunc(293 * 30 / 120 + 0.5) = 73; p(90) = trunc(219.75 + 0.5) = 220
    EXPECT_EQ(lay.leftThumb.x, 73);
    EXPECT_EQ(lay.rightThumb.x, 220 + 20);
    EXPECT_EQ(m.RightThumbRect(), (IntRect{240, 0, 260, h}));
    EXPECT_EQ(lay.track, (IntRect{0, 5, w, 5 + 17}));
    // The bar covers the thumbs' two-pixel inner frame columns, rows 8 to 18.
    EXPECT_EQ(lay.bar, (IntRect{73 + 18, 8, 73 + 18 + 220 - 73 + 4, 19}));

    // The left thumb grabbed at its centre and dragged to the middle of the track (half a
    // scaled thumb in) puts the left value at the middle of the scale.
    const int grabX = (m.LeftThumbRect().left + m.LeftThumbRect().right) / 2;
    ASSERT_TRUE(m.ButtonDown(grabX, 10, h));
    m.MouseMove(20 / 2 + 293 / 2);
    EXPECT_NEAR(m.Left(), 60.0, 120.0 / 293);
    m.ButtonUp();

    // Back at 96 dpi the same control size lays out with the 96-dpi measures again.
    m.SetDpi(96);
    m.Layout(W, H);
    EXPECT_EQ(m.ThumbWidth(), 13);
    EXPECT_EQ(m.TrackLength(), W - 26);
    // A failed scale query counts as 96 dpi.
    m.SetDpi(0);
    EXPECT_EQ(m.Dpi(), 96);
}

TEST_F(SliderTest, HitTestingAndClicksThatStartNothing)
{
    Prepare(0, 196, 50, 100); // values equal pixels
    // Left thumb [50, 63), right thumb [113, 126), middle [64, 112).
    EXPECT_EQ(m.HitTest(50, 0, H), TRACK_LEFT_THUMB);
    EXPECT_EQ(m.HitTest(62, H - 1, H), TRACK_LEFT_THUMB);
    EXPECT_EQ(m.HitTest(63, 5, H), TRACK_NONE); // the pixel between thumb and middle
    EXPECT_EQ(m.HitTest(64, 5, H), TRACK_WHOLE_RANGE);
    EXPECT_EQ(m.HitTest(111, 5, H), TRACK_WHOLE_RANGE);
    EXPECT_EQ(m.HitTest(112, 5, H), TRACK_NONE);
    EXPECT_EQ(m.HitTest(113, 5, H), TRACK_RIGHT_THUMB);
    EXPECT_EQ(m.HitTest(126, 5, H), TRACK_NONE);
    EXPECT_EQ(m.HitTest(80, H, H), TRACK_NONE); // bottom edge is outside

    // A click on the track outside thumbs and bar starts nothing and says nothing.
    EXPECT_FALSE(m.ButtonDown(20, 9, H));
    EXPECT_FALSE(m.IsTracking());
    EXPECT_FALSE(m.MouseMove(40));
    EXPECT_FALSE(m.ButtonUp());
    EXPECT_TRUE(rec.entries.empty());

    // Thumbs touching (xr - xl < 3): the middle rectangle is empty.
    Prepare(0, 196, 50, 52);
    for (int x = m.LeftThumbRect().right; x < m.RightThumbRect().left; ++x)
        EXPECT_EQ(m.HitTest(x, 5, H), TRACK_NONE) << x;
    Prepare(0, 196, 50, 50);
    EXPECT_EQ(m.LeftThumbRect().right, m.RightThumbRect().left);
    EXPECT_EQ(m.HitTest(63, 5, H), TRACK_RIGHT_THUMB);
}

TEST_F(SliderTest, MiddleBarDragKeepsAFractionalWidth)
{
    // Pixel-exact drags of all three modes run against the real window; here a width that
    // is no whole number of pixels must survive hitting the end of the scale.
    Prepare(0, 7.5, 1.25, 4.0);
    const double w = m.Right() - m.Left();
    const IntRect mid{m.LeftThumbRect().right + 1, 0, m.RightThumbRect().left - 1, H};
    ASSERT_TRUE(m.ButtonDown((mid.left + mid.right) / 2, 3, H));
    EXPECT_EQ(m.TrackMode(), TRACK_WHOLE_RANGE);
    m.ButtonDown(10, 3, H); // a second button-down while tracking changes nothing
    EXPECT_EQ(m.TrackMode(), TRACK_WHOLE_RANGE);
    m.MouseMove(1000);
    EXPECT_DOUBLE_EQ(m.Right() - m.Left(), w);
    EXPECT_EQ(m.Right(), 7.5);
    m.MouseMove(-1000);
    EXPECT_DOUBLE_EQ(m.Right() - m.Left(), w);
    EXPECT_EQ(m.Left(), 0.0);
    EXPECT_TRUE(m.ButtonUp());
    EXPECT_FALSE(m.ButtonUp()); // only one release per drag
    ASSERT_EQ(rec.entries.size(), 3u);
    EXPECT_TRUE(rec.entries.back().dragEnded);
}

TEST_F(SliderTest, ArrowKeysMoveByOnePixelAndAlwaysNotify)
{
    Prepare(0, 120, 30, 60); // step 120/196: pl = 49, pr = 98
    const double step = 120.0 / 196;
    EXPECT_TRUE(m.KeyDown(kKeyRight, false, false));
    EXPECT_DOUBLE_EQ(m.Left(), 50 * step); // snapped onto the pixel grid
    EXPECT_DOUBLE_EQ(m.Right(), 99 * step);
    EXPECT_TRUE(m.KeyDown(kKeyLeft, false, true)); // Shift moves only the right end
    EXPECT_DOUBLE_EQ(m.Left(), 50 * step);
    EXPECT_DOUBLE_EQ(m.Right(), 98 * step);
    ASSERT_EQ(rec.entries.size(), 2u);
    EXPECT_EQ(rec.entries[0].code, RANGE_BOTH_CHANGED);
    EXPECT_EQ(rec.entries[1].code, RANGE_RIGHT_CHANGED);
    EXPECT_FALSE(rec.entries[1].dragEnded);

    // Shift+Left with the right end one pixel from the left makes them equal; once more
    // changes nothing but is still reported.
    Prepare(0, 196, 10, 11);
    m.KeyDown(kKeyLeft, false, true);
    EXPECT_EQ(m.Right(), 10.0);
    m.KeyDown(kKeyLeft, false, true);
    EXPECT_EQ(m.Right(), 10.0);
    ASSERT_EQ(rec.entries.size(), 2u);
    EXPECT_EQ(rec.entries[1].code, RANGE_RIGHT_CHANGED);

    // Plain Left at the start, Right at the end: unchanged, reported as both.
    Prepare(0, 196, 0, 50);
    m.KeyDown(kKeyLeft, false, false);
    EXPECT_EQ(m.Left(), 0.0);
    EXPECT_EQ(m.Right(), 50.0);
    Prepare(0, 196, 150, 196);
    m.KeyDown(kKeyRight, false, false);
    EXPECT_EQ(m.Right(), 196.0);
    ASSERT_EQ(rec.entries.size(), 1u);
    EXPECT_EQ(rec.entries[0].code, RANGE_BOTH_CHANGED);

    // Ctrl+arrows and other keys are not the slider's.
    Prepare(0, 196, 20, 40);
    EXPECT_FALSE(m.KeyDown(kKeyLeft, true, false));
    EXPECT_FALSE(m.KeyDown(kKeyRight, true, true));
    EXPECT_FALSE(m.KeyDown(0x26 /* up */, false, false));
    EXPECT_TRUE(rec.entries.empty());
    EXPECT_EQ(m.Left(), 20.0);

    // A scale of zero width gives a zero step: nothing at all happens.
    Prepare(5, 5, 5, 5);
    EXPECT_FALSE(m.KeyDown(kKeyRight, false, false));
    EXPECT_TRUE(rec.entries.empty());
}

TEST_F(SliderTest, DegenerateScalesAndTracksStayFinite)
{
    // Zero-width scale: a drag keeps every value at min, nothing becomes NaN.
    Prepare(3, 3, 3, 3);
    ASSERT_TRUE(m.ButtonDown(6, 9, H));
    m.MouseMove(100);
    EXPECT_EQ(m.Left(), 3.0);
    EXPECT_EQ(m.Right(), 3.0);
    m.ButtonUp();

    // A control narrower than its thumbs has no track: a drag reports but moves nothing.
    m.SetBounds(0, 10);
    m.SetSelection(2, 8);
    m.Layout(20, H);
    EXPECT_EQ(m.TrackLength(), -6);
    ASSERT_TRUE(m.ButtonDown(m.LeftThumbRect().left, 1, H));
    m.MouseMove(15);
    EXPECT_EQ(m.Left(), 2.0);
    EXPECT_FALSE(m.KeyDown(kKeyRight, false, false));

    // A selection far outside the scale does not overflow the pixel arithmetic.
    m.SetBounds(0, 1e-300);
    m.SetSelection(0, 1e-300);
    m.Layout(W, H);
    EXPECT_EQ(m.PixelOf(1e300), 1000000000);
    EXPECT_EQ(m.PixelOf(-1e300), -1000000000);
}
