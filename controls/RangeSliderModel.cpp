// The range slider's arithmetic (see RangeSliderModel.h).
#include "controls/RangeSliderModel.h"

#include <cmath>

#include "framework/DpiScale.h"

namespace rangeslider {

int RoundHalfUpTruncated(double x)
{
    const double v = x + 0.5;
    if (std::isnan(v))
        return 0;
    constexpr double kLimit = 1.0e9;
    if (v > kLimit)
        return static_cast<int>(kLimit);
    if (v < -kLimit)
        return -static_cast<int>(kLimit);
    return static_cast<int>(v); // truncates toward zero
}

void RangeSliderModel::Notify(int code, bool dragEnded)
{
    if (m_listener)
        m_listener->OnRangeChange(code, dragEnded);
}

void RangeSliderModel::SetBounds(double a, double b)
{
    if (a > b) {
        m_dMin = b;
        m_dMax = a;
    } else {
        m_dMin = a;
        m_dMax = b;
    }
    Normalise();
}

void RangeSliderModel::SetSelection(double left, double right)
{
    m_dLeft = left;
    m_dRight = right;
    Normalise();
}

// Each correction is reported on its own, in order, so the parent sees every step.
void RangeSliderModel::Normalise()
{
    if (m_dLeft < m_dMin) {
        m_dLeft = m_dMin;
        Notify(RANGE_LEFT_CHANGED, false);
        if (m_dRight < m_dLeft) {
            m_dRight = m_dLeft;
            Notify(RANGE_RIGHT_CHANGED, false);
        }
    }
    if (m_dRight > m_dMax) {
        m_dRight = m_dMax;
        Notify(RANGE_RIGHT_CHANGED, false);
        if (m_dLeft > m_dRight) {
            m_dLeft = m_dRight;
            Notify(RANGE_LEFT_CHANGED, false);
        }
    }
}

int RangeSliderModel::PixelOf(double v) const
{
    const double span = m_dMax - m_dMin;
    // A scale of zero width (a file that reports no duration) puts everything at pixel 0.
    if (span == 0.0)
        return 0;
    return RoundHalfUpTruncated(m_nTrackLength * (v - m_dMin) / span);
}

void RangeSliderModel::SetDpi(int dpi)
{
    m_nDpi = dpiscale::Usable(dpi);
}

SliderLayout RangeSliderModel::Layout(int width, int height)
{
    auto scaled = [this](int pixels) { return dpiscale::Scale(pixels, m_nDpi); };
    const int T = scaled(kPaintedThumbWidth);
    // The thumbs' frame: one pixel at 96 dpi, as wide as the scale rounds it to elsewhere.
    const int line = scaled(1) > 0 ? scaled(1) : 1;
    m_nThumbWidth = T;
    m_nTrackLength = width - 2 * T;
    const int xl = PixelOf(m_dLeft);
    const int xr = PixelOf(m_dRight);

    SliderLayout layout;
    layout.track = {0, scaled(3), width, scaled(3) + scaled(11)};
    layout.leftThumb = {xl, 0};
    layout.rightThumb = {xr + T, 0};
    // The bar overlaps the inner frame column of each thumb.
    layout.bar = {xl + T - line, scaled(5), xl + T - line + (xr - xl + 2 * line), scaled(5) + scaled(7)};
    m_rcLeftThumb = {xl, 0, xl + T, height};
    m_rcRightThumb = {xr + T, 0, xr + 2 * T, height};
    return layout;
}

int RangeSliderModel::HitTest(int x, int y, int clientHeight) const
{
    if (m_rcLeftThumb.Contains(x, y))
        return TRACK_LEFT_THUMB;
    if (m_rcRightThumb.Contains(x, y))
        return TRACK_RIGHT_THUMB;
    const IntRect middle{m_rcLeftThumb.right + 1, 0, m_rcRightThumb.left - 1, clientHeight};
    if (middle.Contains(x, y))
        return TRACK_WHOLE_RANGE;
    return TRACK_NONE;
}

bool RangeSliderModel::ButtonDown(int x, int y, int clientHeight)
{
    if (m_bTracking)
        return false;
    const int mode = HitTest(x, y, clientHeight);
    if (mode == TRACK_NONE)
        return false;
    const IntRect& hit = mode == TRACK_LEFT_THUMB    ? m_rcLeftThumb
                         : mode == TRACK_RIGHT_THUMB ? m_rcRightThumb
                                                     : IntRect{m_rcLeftThumb.right + 1, 0,
                                                               m_rcRightThumb.left - 1, clientHeight};
    m_bTracking = true;
    m_nTrackMode = mode;
    m_ptClickOffset = {x - (hit.left + hit.right) / 2, y - (hit.top + hit.bottom) / 2};
    return true;
}

bool RangeSliderModel::MouseMove(int px)
{
    if (!m_bTracking)
        return false;
    const int x = px - m_ptClickOffset.x;
    const int T = m_nThumbWidth;
    const int L = m_nTrackLength;
    const double S = m_dMax - m_dMin;
    // A control narrower than its two thumbs has no track to map onto: values stay put.
    const bool hasTrack = L > 0;
    int code = m_nTrackMode;

    switch (m_nTrackMode) {
    case TRACK_LEFT_THUMB:
        if (hasTrack)
            m_dLeft = m_dMin + static_cast<double>(x - T / 2) / L * S;
        if (m_dLeft >= m_dRight)
            m_dLeft = m_dRight;
        if (m_dLeft <= m_dMin)
            m_dLeft = m_dMin;
        break;
    case TRACK_RIGHT_THUMB: {
        const double before = m_dRight;
        if (hasTrack)
            m_dRight = m_dMin + static_cast<double>(x - 3 * T / 2) / L * S;
        if (m_dRight <= m_dLeft)
            m_dRight = m_dLeft;
        if (m_dRight >= m_dMax)
            m_dRight = m_dMax;
        // A right thumb held against the left one reports as a left change.
        code = (m_dRight != before) ? RANGE_RIGHT_CHANGED : RANGE_LEFT_CHANGED;
        break;
    }
    case TRACK_WHOLE_RANGE: {
        const double w = m_dRight - m_dLeft;
        if (hasTrack) {
            const double c = static_cast<double>(x - T) / L * S;
            m_dLeft = m_dMin + c - w * 0.5;
            m_dRight = m_dMin + c + w * 0.5;
        }
        if (m_dLeft <= m_dMin) {
            m_dLeft = m_dMin;
            m_dRight = m_dMin + w;
        }
        if (m_dRight >= m_dMax) {
            m_dRight = m_dMax;
            m_dLeft = m_dMax - w;
        }
        break;
    }
    default:
        return false;
    }
    Notify(code, false);
    return true;
}

bool RangeSliderModel::ButtonUp()
{
    if (!m_bTracking)
        return false;
    m_bTracking = false;
    Notify(m_nTrackMode, true);
    return true;
}

bool RangeSliderModel::KeyDown(unsigned virtualKey, bool ctrl, bool shift)
{
    if (ctrl || (virtualKey != kKeyLeft && virtualKey != kKeyRight))
        return false;
    const int L = m_nTrackLength;
    if (L <= 0)
        return false;
    const double step = (m_dMax - m_dMin) / L;
    if (step == 0.0)
        return false;
    int pl = RoundHalfUpTruncated((m_dLeft - m_dMin) / step);
    int pr = RoundHalfUpTruncated((m_dRight - m_dMin) / step);
    const int delta = (virtualKey == kKeyLeft) ? -1 : 1;
    if (!shift)
        pl += delta;
    pr += delta;
    if (0 <= pl && pl <= pr && pr <= L) {
        m_dLeft = m_dMin + pl * step;
        m_dRight = m_dMin + pr * step;
    }
    Notify(shift ? RANGE_RIGHT_CHANGED : RANGE_BOTH_CHANGED, false);
    return true;
}

} // namespace rangeslider
