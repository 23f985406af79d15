// What ffmpeg's reading of a media file says about it, parsed from its diagnostic output.
#include "standins/videoedit/media_probe.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <utility>

namespace vedit {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The lines of the first input's description ("Input #0 ..." up to the next section).
std::string FirstInputSection(const std::string& text)
{
    const size_t begin = text.find("Input #0");
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find("Input #1", begin);
    const size_t output = text.find("Output #", begin);
    if (output != std::string::npos && (end == std::string::npos || output < end))
        end = output;
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

// A frame size "WxH" in a stream line: digits not starting with 0 (so the hexadecimal tag
// "0x34504D46" is never taken for one), preceded by a space.
bool FindFrameSize(const std::string& line, int& width, int& height)
{
    for (size_t x = line.find('x'); x != std::string::npos; x = line.find('x', x + 1)) {
        size_t begin = x;
        while (begin > 0 && IsDigit(line[begin - 1]))
            --begin;
        size_t end = x + 1;
        while (end < line.size() && IsDigit(line[end]))
            ++end;
        if (begin == x || end == x + 1 || line[begin] == '0' || line[x + 1] == '0')
            continue;
        if (begin == 0 || line[begin - 1] != ' ')
            continue;
        if (end < line.size() && std::isalnum(static_cast<unsigned char>(line[end])))
            continue;
        width = std::atoi(line.substr(begin, x - begin).c_str());
        height = std::atoi(line.substr(x + 1, end - x - 1).c_str());
        return width > 0 && height > 0;
    }
    return false;
}

// The stream's sample aspect ratio "[SAR w:h DAR ...]"; false when absent or unknown (0).
bool FindSampleAspect(const std::string& line, int& width, int& height)
{
    const size_t at = line.find("SAR ");
    if (at == std::string::npos)
        return false;
    const char* text = line.c_str() + at + 4;
    char* end = nullptr;
    const long w = std::strtol(text, &end, 10);
    if (end == text || *end != ':')
        return false;
    const char* second = end + 1;
    const long h = std::strtol(second, &end, 10);
    if (end == second || w <= 0 || h <= 0 || w > 100000 || h > 100000)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// The number in front of a unit such as " fps" or " tbr" in a stream line, 0 if absent.
double NumberBefore(const std::string& line, const std::string& unit)
{
    const size_t at = line.find(unit);
    if (at == std::string::npos || at == 0)
        return 0;
    size_t begin = at;
    while (begin > 0 && (IsDigit(line[begin - 1]) || line[begin - 1] == '.' || line[begin - 1] == 'k'))
        --begin;
    std::string number = line.substr(begin, at - begin);
    double scale = 1;
    if (!number.empty() && number.back() == 'k') {
        number.pop_back();
        scale = 1000;
    }
    return number.empty() ? 0 : std::atof(number.c_str()) * scale;
}

} // namespace

bool ParseClockTime(const std::string& text, double& seconds)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && text[pos] == '-') {
        negative = true;
        ++pos;
    }
    double parts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const size_t begin = pos;
        while (pos < text.size() && (IsDigit(text[pos]) || (i == 2 && text[pos] == '.')))
            ++pos;
        if (pos == begin)
            return false;
        parts[i] = std::atof(text.substr(begin, pos - begin).c_str());
        if (i < 2) {
            if (pos >= text.size() || text[pos] != ':')
                return false;
            ++pos;
        }
    }
    seconds = parts[0] * 3600 + parts[1] * 60 + parts[2];
    if (negative)
        seconds = -seconds;
    return true;
}

MediaInfo ParseProbeOutput(const std::string& text)
{
    MediaInfo info;
    const std::string section = FirstInputSection(text);
    if (section.empty())
        return info;

    const size_t duration = section.find("Duration: ");
    if (duration != std::string::npos) {
        double seconds = 0;
        if (ParseClockTime(section.substr(duration + 10, 32), seconds) && seconds > 0) {
            info.durationKnown = true;
            info.durationSeconds = seconds;
        }
    }

    std::istringstream lines(section);
    std::string line;
    bool inVideo = false;
    while (std::getline(lines, line)) {
        // ffmpeg shows a phone's portrait clip ("rotation of -90.00 degrees" in its side data)
        // upright: its frames then have width and height swapped.
        const size_t rotation = line.find("rotation of ");
        if (inVideo && rotation != std::string::npos) {
            const long quarter = std::lround(std::fabs(std::atof(line.c_str() + rotation + 12)) / 90.0);
            if (quarter % 2 == 1) {
                std::swap(info.width, info.height);
                std::swap(info.pixelAspectWidth, info.pixelAspectHeight);
            }
            inVideo = false;
        }
        if (line.find("Stream #") == std::string::npos)
            continue;
        inVideo = false;
        if (line.find(": Video: ") != std::string::npos) {
            // A cover picture in a music file is not a video to show.
            if (info.hasVideo || line.find("(attached pic)") != std::string::npos)
                continue;
            int width = 0, height = 0;
            if (FindFrameSize(line, width, height)) {
                info.hasVideo = true;
                info.width = width;
                info.height = height;
                FindSampleAspect(line, info.pixelAspectWidth, info.pixelAspectHeight);
                info.framesPerSecond = NumberBefore(line, " fps");
                if (info.framesPerSecond <= 0)
                    info.framesPerSecond = NumberBefore(line, " tbr");
                inVideo = true;
            }
        } else if (line.find(": Audio: ") != std::string::npos) {
            info.hasAudio = true;
        }
    }
    // ffmpeg shows any text file as pictures of its characters ("tty" input); a document is
    // not a video to add.
    if (section.compare(0, 14, "Input #0, tty,") == 0)
        return MediaInfo();
    info.readable = info.hasVideo || info.hasAudio;
    return info;
}

double ParseLastProgressTime(const std::string& text)
{
    double last = -1;
    for (size_t at = text.find("time="); at != std::string::npos; at = text.find("time=", at + 5)) {
        double seconds = 0;
        if (ParseClockTime(text.substr(at + 5, 32), seconds) && seconds >= 0)
            last = seconds;
    }
    return last;
}

std::set<std::string> ParseEncoderList(const std::string& text)
{
    // Each encoder line reads " V..... name   description" after a "------" separator.
    std::set<std::string> names;
    std::istringstream lines(text);
    std::string line;
    bool inList = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!inList) {
            inList = line.find("------") != std::string::npos;
            continue;
        }
        std::istringstream fields(line);
        std::string flags, name;
        if (fields >> flags >> name && flags.size() == 6)
            names.insert(name);
    }
    return names;
}

} // namespace vedit
