// Area-weighted resizing (see ImageResample.h).
#include "controls/ImageResample.h"

#include <cstddef>

namespace imageresample {

namespace {

// What one new pixel covers of the old row or column axis: old pixels first .. last, with
// the share of each, counted in 1/newSize of an old pixel so that the shares are exact.
struct Span {
    int first = 0;
    int last = 0;
    long long firstShare = 0;
    long long lastShare = 0;
    long long wholeShare = 0; // of the old pixels between first and last
};

Span SpanOf(int index, int newSize, int oldSize)
{
    const long long begin = static_cast<long long>(index) * oldSize; // in 1/newSize pixels
    const long long end = begin + oldSize;
    Span span;
    span.first = static_cast<int>(begin / newSize);
    span.last = static_cast<int>((end - 1) / newSize);
    span.wholeShare = newSize;
    if (span.first == span.last) {
        span.firstShare = span.lastShare = end - begin;
    } else {
        span.firstShare = static_cast<long long>(span.first + 1) * newSize - begin;
        span.lastShare = end - static_cast<long long>(span.last) * newSize;
    }
    return span;
}

long long ShareAt(const Span& span, int i)
{
    if (i == span.first)
        return span.firstShare;
    if (i == span.last)
        return span.lastShare;
    return span.wholeShare;
}

// sum / weight rounded to the nearest, halves up; both are positive.
std::uint32_t Average(long long sum, long long weight)
{
    const long long v = (2 * sum + weight) / (2 * weight);
    return static_cast<std::uint32_t>(v > 255 ? 255 : v);
}

std::uint32_t Pack(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return (r << 16) | (g << 8) | b;
}

Picture ResizeWith(const Picture& source, int width, int height, const std::uint32_t* key)
{
    Picture result;
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0 ||
        source.pixels.size() < static_cast<std::size_t>(source.width) * source.height)
        return result;
    result.width = width;
    result.height = height;
    result.pixels.resize(static_cast<std::size_t>(width) * height);
    std::vector<Span> columns(width);
    for (int x = 0; x < width; ++x)
        columns[x] = SpanOf(x, width, source.width);
    for (int y = 0; y < height; ++y) {
        const Span rows = SpanOf(y, height, source.height);
        for (int x = 0; x < width; ++x) {
            const Span& cols = columns[x];
            long long r = 0, g = 0, b = 0, opaque = 0, total = 0;
            for (int sy = rows.first; sy <= rows.last; ++sy) {
                const long long rowShare = ShareAt(rows, sy);
                const std::uint32_t* line = &source.pixels[static_cast<std::size_t>(sy) * source.width];
                for (int sx = cols.first; sx <= cols.last; ++sx) {
                    const long long w = rowShare * ShareAt(cols, sx);
                    total += w;
                    const std::uint32_t p = line[sx] & 0xFFFFFFu;
                    if (key && p == *key)
                        continue;
                    opaque += w;
                    r += w * ((p >> 16) & 0xFF);
                    g += w * ((p >> 8) & 0xFF);
                    b += w * (p & 0xFF);
                }
            }
            std::uint32_t& out = result.pixels[static_cast<std::size_t>(y) * width + x];
            if (key && opaque * 2 < total)
                out = *key;
            else if (opaque > 0)
                out = Pack(Average(r, opaque), Average(g, opaque), Average(b, opaque));
            else
                out = 0;
        }
    }
    return result;
}

} // namespace

Picture Resize(const Picture& source, int width, int height)
{
    return ResizeWith(source, width, height, nullptr);
}

Picture ResizeKeyed(const Picture& source, int width, int height, std::uint32_t key)
{
    const std::uint32_t k = key & 0xFFFFFFu;
    return ResizeWith(source, width, height, &k);
}

} // namespace imageresample
