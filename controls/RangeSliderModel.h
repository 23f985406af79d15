// The two-thumb range slider's arithmetic: values, pixels, hit testing, dragging and keys.
// No window calls here: CRangeSlider feeds it client sizes, points and keys, and turns the
// notifications it reports into RANGE_CHANGED messages.
#pragma once

namespace rangeslider {

// Notification codes carried in RANGE_CHANGED's wParam.
enum RangeChangeCode {
    RANGE_LEFT_CHANGED = 0,
    RANGE_RIGHT_CHANGED = 1,
    RANGE_BOTH_CHANGED = 2,
};

// What a drag moves; the values double as the codes sent when the drag ends.
enum TrackMode {
    TRACK_LEFT_THUMB = 0,
    TRACK_RIGHT_THUMB = 1,
    TRACK_WHOLE_RANGE = 2,
    TRACK_NONE = -1,
};

// The two keys the slider answers (VK_LEFT, VK_RIGHT).
constexpr unsigned kKeyLeft = 0x25;
constexpr unsigned kKeyRight = 0x27;

struct IntRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    // Left and top edges inside, right and bottom edges outside.
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const IntRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct IntPoint {
    int x = 0, y = 0;
};

// Receives each change as it happens, so that a listener reading the selection back
// during the call sees the values of that moment.
class RangeChangeListener {
public:
    virtual void OnRangeChange(int code, bool dragEnded) = 0;

protected:
    ~RangeChangeListener() = default;
};

// Where each image goes for one paint of a client area of width × height. The images have
// their 96-dpi sizes times the display scale (thumbs 13 × 17, track 11 and bar 7 high at
// 96 dpi), so only the track and the bar are stretched, and only across.
struct SliderLayout {
    IntRect track;       // image 212 stretched here
    IntPoint leftThumb;  // image 213 copied here
    IntPoint rightThumb; // image 214 copied here
    IntRect bar;         // image 215 stretched here (may be empty)
};

class RangeSliderModel {
public:
    // At 96 dpi; every measure of the drawing is scaled from it (SetDpi). The track loses
    // one thumb width at each end.
    static constexpr int kPaintedThumbWidth = 13;

    explicit RangeSliderModel(RangeChangeListener* listener = nullptr) : m_listener(listener) {}

    void SetListener(RangeChangeListener* listener) { m_listener = listener; }

    // The display scale the slider is drawn at, from the next Layout on (96 at first).
    void SetDpi(int dpi);
    int Dpi() const { return m_nDpi; }

    // The smaller argument becomes the minimum; then the selection is normalised.
    void SetBounds(double a, double b);
    // Stored as given (callers pass left <= right), then normalised.
    void SetSelection(double left, double right);

    double Min() const { return m_dMin; }
    double Max() const { return m_dMax; }
    double Left() const { return m_dLeft; }
    double Right() const { return m_dRight; }
    bool IsTracking() const { return m_bTracking; }
    int TrackMode() const { return m_nTrackMode; }
    int ThumbWidth() const { return m_nThumbWidth; }
    int TrackLength() const { return m_nTrackLength; }
    const IntRect& LeftThumbRect() const { return m_rcLeftThumb; }
    const IntRect& RightThumbRect() const { return m_rcRightThumb; }

    // Pixel of value v on the current track (0 when the scale or the track has no width).
    int PixelOf(double v) const;

    // Called at each paint: fixes thumb width, track length and the hit rectangles.
    SliderLayout Layout(int width, int height);

    // Hit test against the rectangles of the last paint; TRACK_NONE for a miss.
    int HitTest(int x, int y, int clientHeight) const;
    // Returns true when a drag started (the caller then captures the mouse).
    bool ButtonDown(int x, int y, int clientHeight);
    // Only while tracking; returns true when it notified.
    bool MouseMove(int x);
    // Only while tracking; returns true when a drag ended (the caller releases capture).
    bool ButtonUp();
    // Left and Right without Ctrl move the range by one pixel, with Shift only its right
    // end. Returns true when the key was used (it then notified, moved or not).
    bool KeyDown(unsigned virtualKey, bool ctrl, bool shift);

private:
    void Normalise();
    void Notify(int code, bool dragEnded);

    double m_dMin = 0.0;
    double m_dMax = 1.0;
    double m_dLeft = 0.0;
    double m_dRight = 1.0;
    int m_nThumbWidth = 10;
    int m_nDpi = 96;
    bool m_bTracking = false;
    int m_nTrackMode = TRACK_NONE;
    IntRect m_rcLeftThumb;
    IntRect m_rcRightThumb;
    int m_nTrackLength = 0;
    IntPoint m_ptClickOffset;
    RangeChangeListener* m_listener;
};

// trunc(x + 0.5) toward zero, kept inside int range (a caller may pass a selection outside
// the scale, and the conversion of an out-of-range double would be undefined).
int RoundHalfUpTruncated(double x);

} // namespace rangeslider
