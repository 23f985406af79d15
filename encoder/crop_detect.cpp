// Finding the picture inside black bars.
#include "encoder/crop_detect.h"

#include <algorithm>
#include <cstdio>

namespace venc {

namespace {

// What counts as black: a row or column whose mean is at most this fraction of the full
// scale (about 24 of 255: video black is 16, with some noise from the encoder).
const char* const kBlackLimit = "0.094";

struct Detection {
    int x1, x2, y1, y2;
};

std::vector<Detection> ReadDetections(const std::string& text)
{
    std::vector<Detection> found;
    for (size_t at = text.find("x1:"); at != std::string::npos; at = text.find("x1:", at + 3)) {
        Detection d{};
        if (std::sscanf(text.c_str() + at, "x1:%d x2:%d y1:%d y2:%d", &d.x1, &d.x2, &d.y1, &d.y2) == 4)
            found.push_back(d);
    }
    return found;
}

// A bar is cut only when it is worth it: at least 1 % of the side and 4 pixels.
int Bar(int pixels, int side)
{
    return pixels >= 4 && pixels * 100 >= side ? pixels : 0;
}

} // namespace

std::vector<double> CropSamplePositions(double duration)
{
    std::vector<double> positions;
    if (!(duration > 0.0))
        return positions;
    for (int i = 0; i < kCropSamples; ++i)
        positions.push_back(duration * (i + 0.5) / kCropSamples);
    return positions;
}

std::vector<std::string> CropDetectArgs(const std::string& inputPath, const std::vector<double>& positions)
{
    std::vector<std::string> args = {"-hide_banner", "-nostdin", "-nostats", "-loglevel", "info"};
    char at[32];
    // Each position is its own input, sought to the key frame before it: one frame each,
    // decoded without the frames between.
    for (double position : positions) {
        std::snprintf(at, sizeof(at), "%.3f", position);
        args.insert(args.end(), {"-noaccurate_seek", "-ss", at, "-i", inputPath});
    }
    const std::string filter = std::string("cropdetect=limit=") + kBlackLimit + ":round=2:reset=1:skip=0";
    for (size_t i = 0; i < positions.size(); ++i)
        args.insert(args.end(), {"-map", std::to_string(i) + ":V:0", "-vf", filter, "-frames:v", "1", "-an", "-sn",
                                 "-f", "null", "-"});
    return args;
}

CropBox CropFromDetections(const std::string& text, int frameWidth, int frameHeight, int samples)
{
    CropBox box;
    if (frameWidth < 16 || frameHeight < 16)
        return box;
    int left = frameWidth, right = -1, top = frameHeight, bottom = -1, showing = 0;
    for (const Detection& d : ReadDetections(text)) {
        // A frame whose picture seems to fill less than half of the frame either way is a
        // dark scene (or a fade), not bars: it says nothing about where the bars are.
        if ((d.x2 - d.x1 + 1) * 2 < frameWidth || (d.y2 - d.y1 + 1) * 2 < frameHeight)
            continue;
        ++showing;
        left = std::min(left, std::max(0, d.x1));
        right = std::max(right, std::min(frameWidth - 1, d.x2));
        top = std::min(top, std::max(0, d.y1));
        bottom = std::max(bottom, std::min(frameHeight - 1, d.y2));
    }
    // Most of the sampled frames must show a picture, and at least three of them.
    if (showing < 3 || showing * 2 < samples)
        return box;
    const int cutLeft = Bar(left, frameWidth) / 2 * 2;
    const int cutTop = Bar(top, frameHeight) / 2 * 2;
    const int cutRight = Bar(frameWidth - 1 - right, frameWidth);
    const int cutBottom = Bar(frameHeight - 1 - bottom, frameHeight);
    if (cutLeft + cutTop + cutRight + cutBottom == 0)
        return box;
    // Even sizes, rounded so that no row or column of the picture is lost.
    box.x = cutLeft;
    box.y = cutTop;
    box.width = std::min(frameWidth - box.x, (frameWidth - cutRight - box.x + 1) / 2 * 2);
    box.height = std::min(frameHeight - box.y, (frameHeight - cutBottom - box.y + 1) / 2 * 2);
    box.width -= box.width % 2;
    box.height -= box.height % 2;
    box.found = box.width >= 16 && box.height >= 16;
    return box;
}

} // namespace venc
