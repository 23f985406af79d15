// Reading ffmpeg's one-line description of a video stream, for example
//   Stream #0:0[0x1e0]: Video: mpeg2video (Main), yuv420p(tv, top first), 720x576
//   [SAR 16:15 DAR 4:3], 25 fps, 25 tbr, 90k tbn, 50 tbc
#include "encoder/source_probe.h"

#include <cctype>
#include <cstdlib>

namespace venc {

namespace {

// The number written just before `unit` (", 29.97 fps," or ", 1k fps,"); 0 when absent.
double RateBefore(const std::string& line, const std::string& unit)
{
    const auto at = line.find(" " + unit);
    if (at == std::string::npos)
        return 0.0;
    auto start = at;
    while (start > 0 && line[start - 1] != ' ')
        --start;
    std::string number = line.substr(start, at - start);
    double scale = 1.0;
    if (!number.empty() && (number.back() == 'k' || number.back() == 'm')) {
        scale = number.back() == 'k' ? 1000.0 : 1000000.0;
        number.pop_back();
    }
    if (number.empty() || !std::isdigit(static_cast<unsigned char>(number[0])))
        return 0.0;
    return std::strtod(number.c_str(), nullptr) * scale;
}

} // namespace

SourceVideo ParseSourceVideo(const std::string& text)
{
    SourceVideo video;
    size_t at = 0;
    std::string line;
    while (at < text.size()) {
        auto end = text.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        const std::string candidate = text.substr(at, end - at);
        at = end + 1;
        if (candidate.find("Stream #") != std::string::npos && candidate.find(": Video: ") != std::string::npos) {
            line = candidate;
            break;
        }
    }
    if (line.empty())
        return video;
    video.found = true;
    video.fps = RateBefore(line, "fps");
    if (video.fps <= 0.0)
        video.fps = RateBefore(line, "tbr");
    // The display order counts: "top coded first (swapped)" shows the bottom field first.
    if (line.find("top coded first") != std::string::npos || line.find("bottom first") != std::string::npos)
        video.fieldOrder = FieldOrder::BottomFirst;
    else if (line.find("bottom coded first") != std::string::npos || line.find("top first") != std::string::npos)
        video.fieldOrder = FieldOrder::TopFirst;
    else if (line.find("progressive") != std::string::npos)
        video.fieldOrder = FieldOrder::Progressive;
    return video;
}

} // namespace venc
