// Reading venc's classic command line. Every refusal is one line naming the culprit.
#include "encoder/venc_options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace venc {

namespace {

bool IsAllDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// A decimal integer within [low, high], nothing else in the text.
bool ParseIntIn(const std::string& text, long low, long high, int& value)
{
    if (!IsAllDigits(text) || text.size() > 9)
        return false;
    const long parsed = std::strtol(text.c_str(), nullptr, 10);
    if (parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// A plain non-negative decimal number ("29.97", "10"), nothing else in the text.
bool ParseDecimal(const std::string& text, double& value)
{
    if (text.empty() || text.size() > 32)
        return false;
    bool seenDigit = false, seenPoint = false;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            seenDigit = true;
        else if (c == '.' && !seenPoint)
            seenPoint = true;
        else
            return false;
    }
    if (!seenDigit)
        return false;
    value = std::strtod(text.c_str(), nullptr);
    return std::isfinite(value);
}

bool IsTimestampDate(const std::string& t)
{
    // YYYY-MM-DD (month and day may have one digit)
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(t.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3)
        return false;
    return y >= 1900 && m >= 1 && m <= 12 && d >= 1 && d <= 31 && std::isdigit(static_cast<unsigned char>(t[0]));
}

bool IsTimestampTime(const std::string& t)
{
    int h = 0, m = 0, s = 0;
    char tail = 0;
    if (t.empty() || !std::isdigit(static_cast<unsigned char>(t[0])))
        return false;
    if (std::sscanf(t.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &tail) != 3)
        return false;
    return h >= 0 && h <= 23 && m >= 0 && m <= 59 && s >= 0 && s <= 60;
}

bool IsKnownLevel(int idc)
{
    static const int known[] = {10, 9, 11, 12, 13, 20, 21, 22, 30, 31, 32, 40, 41, 42, 50, 51};
    for (int k : known)
        if (k == idc)
            return true;
    return false;
}

bool IsAacSampleRate(int rate)
{
    static const int rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    for (int r : rates)
        if (r == rate)
            return true;
    return false;
}

bool ParseFrameSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find('x');
    if (x == std::string::npos)
        return false;
    int w = 0, h = 0;
    if (!ParseIntIn(text.substr(0, x), 16, 4096, w) || !ParseIntIn(text.substr(x + 1), 16, 4096, h))
        return false;
    if (w % 2 != 0 || h % 2 != 0) // 4:2:0 chroma needs even sizes
        return false;
    width = w;
    height = h;
    return true;
}

bool ParseAspect(const std::string& text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        double ratio = 0.0;
        return ParseDecimal(text, ratio) && ratio > 0.1 && ratio < 10.0;
    }
    int num = 0, den = 0;
    return ParseIntIn(text.substr(0, colon), 1, 10000, num) && ParseIntIn(text.substr(colon + 1), 1, 10000, den);
}

ParseResult Refuse(std::string line)
{
    // The reason quotes the culprit, which may hold line breaks or other control characters;
    // the refusal stays one line.
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    ParseResult result;
    result.ok = false;
    result.error = "venc: " + line;
    return result;
}

} // namespace

bool ParseClockTime(const std::string& text, double& seconds)
{
    if (text.empty() || text.size() > 32)
        return false;
    // Split on ':' into at most three fields; only the last may carry a fraction.
    std::vector<std::string> fields;
    std::string current;
    for (char c : text) {
        if (c == ':') {
            fields.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    fields.push_back(current);
    if (fields.size() > 3)
        return false;
    double total = 0.0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const bool last = (i + 1 == fields.size());
        double value = 0.0;
        if (last) {
            if (!ParseDecimal(fields[i], value))
                return false;
        } else {
            int whole = 0;
            if (!ParseIntIn(fields[i], 0, 999999, whole))
                return false;
            value = whole;
        }
        // Minutes and seconds below a higher field stay under 60.
        if (i > 0 && value >= 60.0)
            return false;
        total = total * 60.0 + value;
    }
    seconds = total;
    return true;
}

const char* VencUsage()
{
    return "usage: venc [-y] -i INPUT [-ss hh:mm:ss] [-t hh:mm:ss] [-vcodec h264|xvid] [-coder 0|1] "
           "[-vlevel 13] [-bufsize KBIT] [-g FRAMES] [-s WxH] [-r FPS] [-b KBPS] [-ab KBPS] "
           "[-aspect W:H] [-ac 1|2] [-ar HZ] [-vol N] [-title TEXT] [-timestamp \"YYYY-MM-DD hh:mm:ss\"] OUTPUT.mp4";
}

ParseResult ParseVencArguments(const std::vector<std::string>& args)
{
    ParseResult result;
    VencOptions& o = result.options;
    bool haveInput = false, haveOutput = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            if (arg.empty())
                return Refuse("empty argument");
            if (haveOutput)
                return Refuse("more than one output file: '" + o.outputPath + "' and '" + arg + "'");
            o.outputPath = arg;
            haveOutput = true;
            continue;
        }
        if (arg == "-y") {
            o.overwrite = true;
            continue;
        }
        // Every other option takes one value.
        static const char* const withValue[] = {"-i", "-ss", "-t", "-vcodec", "-coder", "-vlevel", "-bufsize", "-g",
                                                "-s", "-r", "-b", "-ab", "-aspect", "-ac", "-ar", "-vol", "-title",
                                                "-timestamp"};
        bool known = false;
        for (const char* name : withValue)
            if (arg == name)
                known = true;
        if (!known)
            return Refuse("unknown option '" + arg + "'");
        if (i + 1 >= args.size())
            return Refuse("option '" + arg + "' needs a value");
        const std::string value = args[++i];
        auto bad = [&](const char* expected) { return Refuse("bad value '" + value + "' for " + arg + ": " + expected); };

        if (arg == "-i") {
            if (value.empty())
                return bad("a file path");
            if (haveInput)
                return Refuse("more than one input file: '" + o.inputPath + "' and '" + value + "'");
            o.inputPath = value;
            haveInput = true;
        } else if (arg == "-ss") {
            if (!ParseClockTime(value, o.startSeconds))
                return bad("hh:mm:ss");
            o.hasStart = true;
        } else if (arg == "-t") {
            // Zero is kept: the plan turns it into the shortest clip (a trim under a second).
            if (!ParseClockTime(value, o.lengthSeconds))
                return bad("hh:mm:ss");
            o.hasLength = true;
        } else if (arg == "-vcodec") {
            if (value == "h264")
                o.videoCodec = VideoCodec::H264;
            else if (value == "xvid")
                o.videoCodec = VideoCodec::Xvid;
            else
                return bad("h264 or xvid");
        } else if (arg == "-coder") {
            if (!ParseIntIn(value, 0, 1, o.coder))
                return bad("0 or 1");
        } else if (arg == "-vlevel") {
            int idc = 0;
            if (!ParseIntIn(value, 9, 51, idc) || !IsKnownLevel(idc))
                return bad("an H.264 level such as 13 for 1.3");
            o.levelIdc = idc;
        } else if (arg == "-bufsize") {
            if (!ParseIntIn(value, 1, 240000, o.bufsizeKbit))
                return bad("kbit, 1 to 240000");
        } else if (arg == "-g") {
            if (!ParseIntIn(value, 1, 1000, o.gopFrames))
                return bad("frames, 1 to 1000");
        } else if (arg == "-s") {
            if (!ParseFrameSize(value, o.width, o.height))
                return bad("WxH with even numbers from 16 to 4096");
        } else if (arg == "-r") {
            if (!ParseDecimal(value, o.framesPerSecond) || o.framesPerSecond < 1.0 || o.framesPerSecond > 120.0)
                return bad("frames per second, 1 to 120");
            o.frameRate = value;
        } else if (arg == "-b") {
            if (!ParseIntIn(value, 16, 100000, o.videoKbps))
                return bad("kbit/s, 16 to 100000");
        } else if (arg == "-ab") {
            if (!ParseIntIn(value, 8, 512, o.audioKbps))
                return bad("kbit/s, 8 to 512");
        } else if (arg == "-aspect") {
            if (!ParseAspect(value))
                return bad("W:H such as 4:3");
            o.aspect = value;
        } else if (arg == "-ac") {
            if (!ParseIntIn(value, 1, 2, o.channels))
                return bad("1 or 2");
        } else if (arg == "-ar") {
            if (!ParseIntIn(value, 8000, 48000, o.sampleRate) || !IsAacSampleRate(o.sampleRate))
                return bad("an AAC sample rate from 8000 to 48000");
        } else if (arg == "-vol") {
            if (!ParseIntIn(value, 0, 4096, o.volume))
                return bad("0 to 4096, 256 for unchanged");
        } else if (arg == "-title") {
            o.title = value;
            o.hasTitle = true;
        } else if (arg == "-timestamp") {
            // An unquoted "$TIMESTAMP" arrives as two words: the date, then the time.
            std::string stamp = value;
            if (IsTimestampDate(value) && i + 1 < args.size() && IsTimestampTime(args[i + 1]))
                stamp += " " + args[++i];
            const auto blank = stamp.find(' ');
            if (blank == std::string::npos || !IsTimestampDate(stamp.substr(0, blank)) ||
                !IsTimestampTime(stamp.substr(blank + 1)))
                return Refuse("bad value '" + stamp + "' for -timestamp: YYYY-MM-DD hh:mm:ss");
            o.timestamp = stamp;
        }
    }
    if (!haveInput)
        return Refuse("no input file (-i)");
    if (!haveOutput)
        return Refuse("no output file");
    if (o.inputPath == o.outputPath)
        return Refuse("the output file is the input file");
    result.ok = true;
    return result;
}

} // namespace venc
