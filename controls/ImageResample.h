// Resizing a picture to a size no image set was drawn at (a display scale between or above
// the prepared ones): each new pixel is the average of the old pixels it covers, weighted by
// how much of each it covers, so a shrunk picture keeps its detail and an enlarged one stays
// crisp instead of blocky. No window calls here.
#pragma once

#include <cstdint>
#include <vector>

namespace imageresample {

// Pixels as 0x00RRGGBB (the layout of a 32-bit DIB), rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The picture at width x height (both at least 1; an empty source gives an empty result).
Picture Resize(const Picture& source, int width, int height);

// The same for a picture whose pixels of colour `key` are transparent: a new pixel is
// transparent (`key`) when less than half of what it covers is opaque, else the average of
// its opaque part, so no key colour bleeds into the edges.
Picture ResizeKeyed(const Picture& source, int width, int height, std::uint32_t key);

} // namespace imageresample
