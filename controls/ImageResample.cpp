// Area-weighted resizing (see ImageResample.h).
#include "controls/ImageResample.h"

namespace imageresample {

namespace {

// What one new pixel covers of the old row or column axis: old pixels first .. last, with
// the share of the first and the last (the ones in between are covered whole).
struct Span {
    int first = 0;
    int last = 0;
    double firstShare = 1.0;
    double lastShare = 1.0;
};

Span SpanOf(int index, int newSize, int oldSize)
{
    const double scale = static_cast<double>(oldSize) / newSize;
    const double begin = index * scale;
    const double end = (index + 1) * scale;
    Span span;
    span.first = static_cast<int>(begin);
    span.last = static_cast<int>(end);
    if (span.last >= oldSize || end == span.last)
        span.last = span.last > span.first ? span.last - 1 : span.first;
    if (span.last >= oldSize)
        span.last = oldSize - 1;
    if (span.first == span.last) {
        span.firstShare = span.lastShare = end - begin;
    } else {
        span.firstShare = span.first + 1 - begin;
        span.lastShare = end - span.last;
    }
    return span;
}

double ShareAt(const Span& span, int i)
{
    if (i == span.first)
        return span.firstShare;
    if (i == span.last)
        return span.lastShare;
    return 1.0;
}

std::uint32_t Pack(double r, double g, double b)
{
    auto channel = [](double v) {
        const int c = static_cast<int>(v + 0.5);
        return static_cast<std::uint32_t>(c < 0 ? 0 : c > 255 ? 255 : c);
    };
    return (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

Picture ResizeWith(const Picture& source, int width, int height, const std::uint32_t* key)
{
    Picture result;
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0 ||
        source.pixels.size() < static_cast<size_t>(source.width) * source.height)
        return result;
    result.width = width;
    result.height = height;
    result.pixels.resize(static_cast<size_t>(width) * height);
    std::vector<Span> columns(width);
    for (int x = 0; x < width; ++x)
        columns[x] = SpanOf(x, width, source.width);
    for (int y = 0; y < height; ++y) {
        const Span rows = SpanOf(y, height, source.height);
        for (int x = 0; x < width; ++x) {
            const Span& cols = columns[x];
            double r = 0, g = 0, b = 0, opaque = 0, total = 0;
            for (int sy = rows.first; sy <= rows.last; ++sy) {
                const double rowShare = ShareAt(rows, sy);
                const std::uint32_t* line = &source.pixels[static_cast<size_t>(sy) * source.width];
                for (int sx = cols.first; sx <= cols.last; ++sx) {
                    const double w = rowShare * ShareAt(cols, sx);
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
            std::uint32_t& out = result.pixels[static_cast<size_t>(y) * width + x];
            if (key && opaque * 2 < total)
                out = *key;
            else if (opaque > 0)
                out = Pack(r / opaque, g / opaque, b / opaque);
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
