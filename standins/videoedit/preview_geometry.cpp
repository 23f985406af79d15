// Where a picture goes in a window when its aspect is kept.
#include "standins/videoedit/preview_geometry.h"

#include <algorithm>

namespace vedit {

PixelRect FitKeepingAspect(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight)
{
    PixelRect rect;
    if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return rect;
    // Compare pictureWidth/pictureHeight with areaWidth/areaHeight without rounding.
    const long long wide = static_cast<long long>(pictureWidth) * areaHeight;
    const long long tall = static_cast<long long>(areaWidth) * pictureHeight;
    if (wide >= tall) { // bars above and below
        rect.width = areaWidth;
        rect.height = static_cast<int>((static_cast<long long>(areaWidth) * pictureHeight + pictureWidth / 2) / pictureWidth);
    } else { // bars left and right
        rect.height = areaHeight;
        rect.width = static_cast<int>((static_cast<long long>(areaHeight) * pictureWidth + pictureHeight / 2) / pictureHeight);
    }
    rect.width = std::max(1, std::min(rect.width, areaWidth));
    rect.height = std::max(1, std::min(rect.height, areaHeight));
    rect.left = (areaWidth - rect.width) / 2;
    rect.top = (areaHeight - rect.height) / 2;
    return rect;
}

PixelSize DisplaySize(int frameWidth, int frameHeight, int pixelAspectWidth, int pixelAspectHeight)
{
    PixelSize size{frameWidth, frameHeight};
    if (frameWidth <= 0 || frameHeight <= 0 || pixelAspectWidth <= 0 || pixelAspectHeight <= 0)
        return size;
    const long long w = pixelAspectWidth, h = pixelAspectHeight;
    if (w > h)
        size.width = static_cast<int>((frameWidth * w + h / 2) / h);
    else if (w < h)
        size.height = static_cast<int>((frameHeight * h + w / 2) / w);
    return size;
}

PixelSize PreviewDecodeSize(int sourceWidth, int sourceHeight, int windowWidth, int windowHeight)
{
    if (sourceWidth <= 0 || sourceHeight <= 0) {
        sourceWidth = 320;
        sourceHeight = 240;
    }
    int boundWidth = windowWidth > 0 ? std::min(windowWidth, sourceWidth) : sourceWidth;
    int boundHeight = windowHeight > 0 ? std::min(windowHeight, sourceHeight) : sourceHeight;
    const PixelRect fit = FitKeepingAspect(sourceWidth, sourceHeight, boundWidth, boundHeight);
    PixelSize size;
    size.width = std::max(2, fit.width & ~1);
    size.height = std::max(2, fit.height & ~1);
    return size;
}

} // namespace vedit
