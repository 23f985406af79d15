// Reading ffmpeg's description of a source, for example
//   Duration: 00:00:03.02, start: 0.500000, bitrate: 6030 kb/s
//   Stream #0:0[0x1e0]: Video: mpeg2video (Main), yuv420p(tv, top first), 720x576
//   [SAR 16:15 DAR 4:3], 25 fps, 25 tbr, 90k tbn, 50 tbc
//   Stream #0:1[0x80]: Audio: ac3, 48000 Hz, 5.1(side), fltp, 448 kb/s (default)
// and, under a stream, its side data ("displaymatrix: rotation of -90.00 degrees").
#include "encoder/source_probe.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace venc {

namespace {

// The number written just before `unit` (", 29.97 fps," or ", 1k fps,"); 0 when absent.
double NumberBefore(const std::string& line, const std::string& unit)
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

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        auto end = text.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        if (end > at)
            lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

bool IsStream(const std::string& line, const char* kind)
{
    return line.find("Stream #") != std::string::npos && line.find(kind) != std::string::npos;
}

// ", 1920x1080" after the codec: the first WxH with both sides written in digits.
void ReadFrameSize(const std::string& line, int& width, int& height)
{
    for (size_t x = line.find('x'); x != std::string::npos; x = line.find('x', x + 1)) {
        size_t start = x, end = x + 1;
        while (start > 0 && std::isdigit(static_cast<unsigned char>(line[start - 1])))
            --start;
        while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])))
            ++end;
        // "0x31637668" is a codec tag, not a size.
        if (start < x && end > x + 1 && start > 0 && line[start - 1] == ' ' && line[start] != '0') {
            width = std::atoi(line.substr(start, x - start).c_str());
            height = std::atoi(line.substr(x + 1, end - x - 1).c_str());
            return;
        }
    }
}

// "yuv420p10le(tv, bt2020nc/bt2020/smpte2084, progressive)": range, then matrix, primaries
// and transfer (one name where all three agree).
void ReadColour(const std::string& line, SourceVideo& video)
{
    if (line.find("/smpte2084") != std::string::npos)
        video.hdr = HdrTransfer::Pq;
    else if (line.find("/arib-std-b67") != std::string::npos)
        video.hdr = HdrTransfer::Hlg;
    video.fullRange = line.find("(pc") != std::string::npos;
    // The triple is the one word with two slashes ("hvc1 / 0x31637668" has blanks).
    size_t start = 0;
    while (start < line.size()) {
        const size_t end = line.find_first_of(" ,()", start);
        const std::string word = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const auto first = word.find('/');
        const auto second = first == std::string::npos ? first : word.find('/', first + 1);
        if (second != std::string::npos && word.find('/', second + 1) == std::string::npos) {
            video.matrix = word.substr(0, first);
            video.primaries = word.substr(first + 1, second - first - 1);
            if (video.matrix == "unknown")
                video.matrix.clear();
            if (video.primaries == "unknown")
                video.primaries.clear();
            return;
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

void ReadVideoLine(const std::string& line, SourceVideo& video)
{
    video.found = true;
    video.fps = NumberBefore(line, "fps");
    video.tbr = NumberBefore(line, "tbr");
    if (video.fps <= 0.0)
        video.fps = video.tbr;
    // The display order counts: "top coded first (swapped)" shows the bottom field first.
    if (line.find("top coded first") != std::string::npos || line.find("bottom first") != std::string::npos)
        video.fieldOrder = FieldOrder::BottomFirst;
    else if (line.find("bottom coded first") != std::string::npos || line.find("top first") != std::string::npos)
        video.fieldOrder = FieldOrder::TopFirst;
    else if (line.find("progressive") != std::string::npos)
        video.fieldOrder = FieldOrder::Progressive;
    ReadFrameSize(line, video.width, video.height);
    ReadColour(line, video);
}

// "rotation of -90.00 degrees": ffmpeg turns such frames upright, so they are shown with
// width and height swapped.
void ReadRotation(const std::string& line, SourceVideo& video)
{
    const auto at = line.find("rotation of ");
    if (at == std::string::npos)
        return;
    const double degrees = std::strtod(line.c_str() + at + 12, nullptr);
    const long quarter = std::lround(std::fabs(degrees) / 90.0);
    if (quarter % 2 == 1)
        std::swap(video.width, video.height);
}

double ReadDuration(const std::string& line)
{
    const auto at = line.find("Duration: ");
    if (at == std::string::npos)
        return 0.0;
    int h = 0, m = 0;
    double s = 0.0;
    if (std::sscanf(line.c_str() + at + 10, "%d:%d:%lf", &h, &m, &s) != 3)
        return 0.0;
    return h * 3600.0 + m * 60.0 + s;
}

} // namespace

SourceDescription ParseSourceDescription(const std::string& text)
{
    SourceDescription d;
    bool inVideo = false;
    int audioTracks = 0;
    bool defaultAudioFound = false;
    for (const std::string& line : Lines(text)) {
        if (d.durationSeconds == 0.0 && line.find("Duration: ") != std::string::npos)
            d.durationSeconds = ReadDuration(line);
        if (line.find("Stream #") != std::string::npos) {
            d.described = true;
            inVideo = false;
        }
        // Cover art in an audio file is a picture, not a video to convert.
        if (IsStream(line, ": Video: ") && line.find("(attached pic)") == std::string::npos && !d.video.found) {
            ReadVideoLine(line, d.video);
            inVideo = true;
        } else if (inVideo) {
            ReadRotation(line, d.video);
        }
        if (IsStream(line, ": Audio: ")) {
            const bool flaggedDefault = line.find("(default)") != std::string::npos;
            if (!d.audio.found || (flaggedDefault && !defaultAudioFound)) {
                d.audio.found = true;
                d.audio.trackIndex = audioTracks;
                d.audio.sampleRate = static_cast<int>(NumberBefore(line, "Hz"));
                defaultAudioFound = flaggedDefault;
            }
            ++audioTracks;
        }
    }
    return d;
}

SourceVideo ParseSourceVideo(const std::string& text)
{
    return ParseSourceDescription(text).video;
}

} // namespace venc
