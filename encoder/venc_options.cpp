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

namespace {

// What an option's reader sees: the options being filled, and the words of the command
// line for the one option whose value may span two of them.
struct OptionContext {
    VencOptions& options;
    const std::vector<std::string>& args;
    size_t& index;        // the value's word; a reader may move on past words it takes
    bool& haveInput;
    std::string refusal;  // a reader's own refusal line, when "bad value" says too little
};

// One option of the dialect. The reader gets the value, or is called with an empty one for
// a flag; it returns false when the value is not acceptable.
struct OptionRule {
    const char* name;
    const char* valueHint; // as the usage line shows it; nullptr for a flag
    const char* expected;  // what a refusal says the value should be
    bool (*read)(const std::string& value, OptionContext& c);
};

bool ReadTimestamp(const std::string& value, OptionContext& c)
{
    // An unquoted "$TIMESTAMP" arrives as two words: the date, then the time.
    std::string stamp = value;
    if (IsTimestampDate(value) && c.index + 1 < c.args.size() && IsTimestampTime(c.args[c.index + 1]))
        stamp += " " + c.args[++c.index];
    const auto blank = stamp.find(' ');
    if (blank != std::string::npos && IsTimestampDate(stamp.substr(0, blank)) &&
        IsTimestampTime(stamp.substr(blank + 1))) {
        c.options.timestamp = stamp;
        return true;
    }
    c.refusal = "bad value '" + stamp + "' for -timestamp: YYYY-MM-DD hh:mm:ss";
    return false;
}

const OptionRule kOptions[] = {
    {"-y", nullptr, "", [](const std::string&, OptionContext& c) { return c.options.overwrite = true; }},
    {"-i", "INPUT", "a file path",
     [](const std::string& v, OptionContext& c) {
         if (v.empty())
             return false;
         if (c.haveInput) {
             c.refusal = "more than one input file: '" + c.options.inputPath + "' and '" + v + "'";
             return false;
         }
         c.options.inputPath = v;
         return c.haveInput = true;
     }},
    {"-ss", "hh:mm:ss", "hh:mm:ss",
     [](const std::string& v, OptionContext& c) {
         return c.options.hasStart = ParseClockTime(v, c.options.startSeconds);
     }},
    // Zero is kept: the plan turns it into the shortest clip (a trim under a second).
    {"-t", "hh:mm:ss", "hh:mm:ss",
     [](const std::string& v, OptionContext& c) {
         return c.options.hasLength = ParseClockTime(v, c.options.lengthSeconds);
     }},
    {"-vcodec", "h264|xvid", "h264 or xvid",
     [](const std::string& v, OptionContext& c) {
         if (v != "h264" && v != "xvid")
             return false;
         c.options.videoCodec = v == "h264" ? VideoCodec::H264 : VideoCodec::Xvid;
         return true;
     }},
    {"-vprofile", "baseline|main|high", "baseline, main or high",
     [](const std::string& v, OptionContext& c) {
         const struct {
             const char* name;
             H264Profile profile;
         } names[] = {{"baseline", H264Profile::Baseline}, {"main", H264Profile::Main}, {"high", H264Profile::High}};
         for (const auto& n : names)
             if (v == n.name) {
                 c.options.profile = n.profile;
                 return true;
             }
         return false;
     }},
    {"-coder", "0|1", "0 or 1",
     [](const std::string& v, OptionContext& c) { return ParseIntIn(v, 0, 1, c.options.coder); }},
    {"-vlevel", "13", "an H.264 level such as 13 for 1.3",
     [](const std::string& v, OptionContext& c) {
         int idc = 0;
         if (!ParseIntIn(v, 9, 51, idc) || !IsKnownLevel(idc))
             return false;
         c.options.levelIdc = idc;
         return true;
     }},
    {"-bufsize", "KBIT", "kbit, 1 to 240000",
     [](const std::string& v, OptionContext& c) { return ParseIntIn(v, 1, 240000, c.options.bufsizeKbit); }},
    {"-maxrate", "KBPS", "kbit/s, 16 to 240000",
     [](const std::string& v, OptionContext& c) { return ParseIntIn(v, 16, 240000, c.options.maxrateKbps); }},
    {"-g", "FRAMES", "frames, 1 to 1000",
     [](const std::string& v, OptionContext& c) { return ParseIntIn(v, 1, 1000, c.options.gopFrames); }},
    {"-s", "WxH", "WxH with even numbers from 16 to 4096",
     [](const std::string& v, OptionContext& c) { return ParseFrameSize(v, c.options.width, c.options.height); }},
    {"-r", "FPS", "frames per second, 1 to 120",
     [](const std::string& v, OptionContext& c) {
         double fps = 0.0;
         if (!ParseDecimal(v, fps) || fps < 1.0 || fps > 120.0)
             return false;
         c.options.framesPerSecond = fps;
         c.options.frameRate = v;
         return true;
     }},
    {"-b", "KBPS", "kbit/s, 16 to 100000",
     [](const std::string& v, OptionContext& c) { return ParseIntIn(v, 16, 100000, c.options.videoKbps); }},
    {"-ab", "KBPS", "kbit/s, 8 to 512",
     [](const std::string& v, OptionContext& c) { return ParseIntIn(v, 8, 512, c.options.audioKbps); }},
    {"-aspect", "W:H", "W:H such as 4:3",
     [](const std::string& v, OptionContext& c) {
         if (!ParseAspect(v))
             return false;
         c.options.aspect = v;
         return true;
     }},
    {"-ac", "1|2", "1 or 2",
     [](const std::string& v, OptionContext& c) { return ParseIntIn(v, 1, 2, c.options.channels); }},
    {"-ar", "HZ", "an AAC sample rate from 8000 to 48000",
     [](const std::string& v, OptionContext& c) {
         return ParseIntIn(v, 8000, 48000, c.options.sampleRate) && IsAacSampleRate(c.options.sampleRate);
     }},
    {"-vol", "N", "0 to 4096, 256 for unchanged",
     [](const std::string& v, OptionContext& c) { return ParseIntIn(v, 0, 4096, c.options.volume); }},
    {"-title", "TEXT", "",
     [](const std::string& v, OptionContext& c) {
         c.options.title = v;
         return c.options.hasTitle = true;
     }},
    {"-timestamp", "\"YYYY-MM-DD hh:mm:ss\"", "YYYY-MM-DD hh:mm:ss", ReadTimestamp},
    // The program's share of the processors when it runs several encoders at once.
    {"-threads", "N", "1 to 64",
     [](const std::string& v, OptionContext& c) { return ParseIntIn(v, 1, 64, c.options.threads); }},
};

const OptionRule* FindOption(const std::string& name)
{
    for (const OptionRule& rule : kOptions)
        if (name == rule.name)
            return &rule;
    return nullptr;
}

} // namespace

const char* VencUsage()
{
    static const std::string usage = [] {
        std::string text = "usage: venc";
        for (const OptionRule& rule : kOptions) {
            const bool required = std::string(rule.name) == "-i";
            text += required ? " " : " [";
            text += rule.name;
            if (rule.valueHint)
                text += std::string(" ") + rule.valueHint;
            text += required ? "" : "]";
        }
        return text + " OUTPUT.mp4";
    }();
    return usage.c_str();
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
        const OptionRule* rule = FindOption(arg);
        if (!rule)
            return Refuse("unknown option '" + arg + "'");
        OptionContext context{o, args, i, haveInput, {}};
        if (!rule->valueHint) {
            rule->read(std::string(), context);
            continue;
        }
        if (i + 1 >= args.size())
            return Refuse("option '" + arg + "' needs a value");
        const std::string value = args[++i];
        if (!rule->read(value, context))
            return Refuse(!context.refusal.empty() ? context.refusal
                                                   : "bad value '" + value + "' for " + arg + ": " + rule->expected);
    }
    if (!haveInput)
        return Refuse("no input file (-i)");
    if (!haveOutput)
        return Refuse("no output file");
    if (o.inputPath == o.outputPath)
        return Refuse("the output file is the input file");
    if (o.maxrateKbps > 0 && o.maxrateKbps < o.videoKbps)
        return Refuse("-maxrate " + std::to_string(o.maxrateKbps) + " is below the average rate -b " +
                      std::to_string(o.videoKbps));
    result.ok = true;
    return result;
}

} // namespace venc
