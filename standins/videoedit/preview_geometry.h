// Where a picture goes in a window when its aspect is kept, and the size ffmpeg decodes
// preview frames at. Pure code: no windows.h.
#pragma once

namespace vedit {

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The largest rectangle of the picture's aspect inside the area, centred in it.
PixelRect FitKeepingAspect(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

struct PixelSize {
    int width = 0;
    int height = 0;
};

// The frame as it is meant to be seen: its stored size with each pixel given its aspect
// (pixelAspectWidth:pixelAspectHeight), widened for wide pixels, made taller for narrow
// ones. A ratio that is not positive counts as square pixels.
PixelSize DisplaySize(int frameWidth, int frameHeight, int pixelAspectWidth, int pixelAspectHeight);

// The size to decode a source at for a window: the source's aspect, no larger than the
// window or the source (the window scales up when painting), even sides, at least 2x2.
// The source's size is its display size, so that decoded pixels are square.
// A source of unknown size is decoded at 320x240.
PixelSize PreviewDecodeSize(int sourceWidth, int sourceHeight, int windowWidth, int windowHeight);

} // namespace vedit
