// Translating the classic options into ffmpeg's, with the limits an iPod's decoder has.
#include "encoder/encode_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace venc {

namespace {

const H264Level kLevels[] = {
    {10, "1", 99, 1485, 64, 175},         {9, "1b", 99, 1485, 128, 350},
    {11, "1.1", 396, 3000, 192, 500},     {12, "1.2", 396, 6000, 384, 1000},
    {13, "1.3", 396, 11880, 768, 2000},   {20, "2", 396, 11880, 2000, 2000},
    {21, "2.1", 792, 19800, 4000, 4000},  {22, "2.2", 1620, 20250, 4000, 4000},
    {30, "3", 1620, 40500, 10000, 10000}, {31, "3.1", 3600, 108000, 14000, 14000},
    {32, "3.2", 5120, 216000, 20000, 20000}, {40, "4", 8192, 245760, 20000, 25000},
    {41, "4.1", 8192, 245760, 50000, 62500}, {42, "4.2", 8704, 522240, 50000, 62500},
    {50, "5", 22080, 589824, 135000, 135000}, {51, "5.1", 36864, 983040, 240000, 240000},
};

// Level 1b sorts between 1 and 1.1 although its number is 9.
int Rank(int idc)
{
    for (size_t i = 0; i < sizeof(kLevels) / sizeof(kLevels[0]); ++i)
        if (kLevels[i].idc == idc)
            return static_cast<int>(i);
    return -1;
}

std::string FormatSeconds(double seconds)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%.3f", seconds);
    return text;
}

std::string Kilo(int value)
{
    return std::to_string(value) + "k";
}

// The iPods with video (Baseline H.264 and MPEG-4 up to 640x480) show every pixel square,
// whatever shape a file's pixels claim; their frames are written with square pixels.
bool ShowsSquarePixels(const VencOptions& o)
{
    const bool ipodCodec = o.videoCodec == VideoCodec::Xvid || o.profile == H264Profile::Baseline;
    return ipodCodec && static_cast<long>(o.width) * o.height <= 640L * 480;
}

// The aspect written for the frame: the one asked for, or none where the device shows
// square pixels.
std::string WrittenAspect(const VencOptions& o)
{
    return ShowsSquarePixels(o) ? std::string() : o.aspect;
}

// True when the aspect asked for is the frame's own shape (4:3 for 320x240), within 1 %.
bool AspectIsFrameShape(const VencOptions& o)
{
    double w = 0, h = 0;
    if (std::sscanf(o.aspect.c_str(), "%lf:%lf", &w, &h) != 2 || !(w > 0 && h > 0) || o.height <= 0)
        return false;
    return std::fabs((w / h) / (static_cast<double>(o.width) / o.height) - 1.0) < 0.01;
}

// The output frame's display aspect as an ffmpeg expression: "16:9" -> "(16/9)".
std::string DisplayAspectExpression(const VencOptions& o)
{
    if (WrittenAspect(o).empty())
        return "(" + std::to_string(o.width) + "/" + std::to_string(o.height) + ")";
    const auto colon = o.aspect.find(':');
    if (colon == std::string::npos)
        return o.aspect;
    return "(" + o.aspect.substr(0, colon) + "/" + o.aspect.substr(colon + 1) + ")";
}

std::string Deinterlacer(FieldOrder order)
{
    // A stream that declares its field order is interlaced throughout; otherwise each frame
    // says whether it is (MPEG-2, H.264 and DV mark interlaced pictures), and frames that do
    // not are passed on untouched.
    switch (order) {
    case FieldOrder::TopFirst:
        return "yadif=parity=tff:deint=all";
    case FieldOrder::BottomFirst:
        return "yadif=parity=bff:deint=all";
    default:
        return "yadif=deint=interlaced";
    }
}

} // namespace

LevelChoice ChooseH264Level(int requestedIdc, int width, int height, double fps, int kbps, H264Profile profile)
{
    LevelChoice choice;
    const double rateFactor = profile == H264Profile::High ? 1.25 : 1.0;
    const int widthMbs = (width + 15) / 16;
    const int heightMbs = (height + 15) / 16;
    const long frameMbs = static_cast<long>(widthMbs) * heightMbs;
    const double mbsPerSecond = frameMbs * fps;
    const int start = std::max(0, Rank(requestedIdc));
    const int count = static_cast<int>(sizeof(kLevels) / sizeof(kLevels[0]));
    for (int i = start; i < count; ++i) {
        H264Level l = kLevels[i];
        l.maxKbps = static_cast<int>(l.maxKbps * rateFactor);
        l.maxCpbKbit = static_cast<int>(l.maxCpbKbit * rateFactor);
        // A frame may be no wider or taller than sqrt(8 * MaxFS) macroblocks.
        const double sideLimit = std::sqrt(8.0 * l.maxFrameMbs);
        const bool fits = frameMbs <= l.maxFrameMbs && widthMbs <= sideLimit && heightMbs <= sideLimit &&
                          mbsPerSecond <= l.maxMbsPerSecond + 0.5 && kbps <= l.maxKbps;
        if (!fits)
            continue;
        choice.ok = true;
        choice.level = l;
        if (i != Rank(requestedIdc)) {
            const H264Level& asked = kLevels[start];
            char line[256];
            std::snprintf(line, sizeof(line),
                          "venc: level %s does not allow %dx%d at %.3g fps and %d kbit/s; using level %s", asked.name,
                          width, height, fps, kbps, l.name);
            choice.note = line;
        }
        return choice;
    }
    char line[256];
    std::snprintf(line, sizeof(line), "venc: no H.264 level allows %dx%d at %.3g fps and %d kbit/s", width, height,
                  fps, kbps);
    choice.error = line;
    return choice;
}

std::string FrameRateForFfmpeg(const std::string& asWritten, double fps)
{
    static const int ntscBases[] = {15, 24, 30, 48, 60};
    for (int base : ntscBases) {
        const double ntsc = base * 1000.0 / 1001.0;
        if (std::fabs(fps - ntsc) < 0.006)
            return std::to_string(base * 1000) + "/1001";
    }
    return asWritten;
}

namespace {

// A rate of the NTSC family (29.97 and its multiples and halves), which the output keeps.
bool IsNtscFamily(double fps)
{
    for (double multiple : {0.5, 0.8, 1.0, 1.6, 2.0, 3.0, 4.0, 8.0})
        if (std::fabs(fps - multiple * 30000.0 / 1001.0) < 0.01 * multiple)
            return true;
    return false;
}

// The device's highest rate in the source's family: 30, or 29.97 for the NTSC family.
double DeviceRateFor(const SourceVideo& source)
{
    return IsNtscFamily(source.tbr) || IsNtscFamily(source.fps) ? 30000.0 / 1001.0 : kDeviceMaxFps;
}

std::string RateText(double fps)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.6g", fps);
    return FrameRateForFfmpeg(text, fps);
}

} // namespace

RateChoice ChooseOutputRate(const VencOptions& o, const SourceVideo& source)
{
    RateChoice choice;
    if (!o.frameRate.empty()) {
        choice.fps = o.framesPerSecond;
        choice.ffmpegRate = FrameRateForFfmpeg(o.frameRate, o.framesPerSecond);
        return choice;
    }
    if (!(source.fps > 0.0)) {
        choice.fps = kDeviceMaxFps;
        choice.ffmpegRate = FrameRateForFfmpeg("30", kDeviceMaxFps);
        choice.note = "venc: the source names no frame rate; writing 30 fps";
        return choice;
    }
    // Frames that come at a varying rate (a phone's: nominal 30, on average 27 to 30.2) are
    // written at the nominal rate, each frame at its time, so motion keeps its pace.
    const double nearDevice = kDeviceMaxFps * 1.05;
    const bool varying = source.tbr > 0.0 && std::fabs(source.fps - source.tbr) > 0.001 * source.tbr;
    const double own = varying && source.tbr <= nearDevice ? source.tbr : source.fps;
    if (own <= kDeviceMaxFps + 1e-3) {
        choice.fps = own;
        if (varying)
            choice.ffmpegRate = RateText(own);
        return choice;
    }
    // A few percent above what the device plays: every frame but a few, at the device's rate.
    // A real high rate keeps every n-th frame; an odd one in between (35, 45 fps) would be
    // slowed below 24 that way, and is written at the device's rate instead.
    double out = DeviceRateFor(source);
    if (own > nearDevice) {
        int every = 2;
        while (own / every > nearDevice)
            ++every;
        const double kept = own / every;
        if (kept >= 23.9)
            out = std::min(kept, DeviceRateFor(source));
    }
    choice.fps = out;
    choice.ffmpegRate = RateText(out);
    char line[160];
    std::snprintf(line, sizeof(line), "venc: the source's %.4g fps is more than the device plays; writing %.4g fps",
                  own, choice.fps);
    choice.note = line;
    return choice;
}

std::string ToneMapFilter(const SourceVideo& source)
{
    const std::string transfer = source.hdr == HdrTransfer::Hlg ? "arib-std-b67" : "smpte2084";
    const std::string matrix = source.matrix.empty() ? "bt2020nc" : source.matrix;
    const std::string primaries = source.primaries.empty() ? "bt2020" : source.primaries;
    // The source's own description is given to zscale, so that frames which do not carry it
    // are read the same way. Linear light is scaled so that 100 cd/m2 is 1.0; the Mobius
    // curve is linear up to its knee and compresses only what lies above.
    return "zscale=tin=" + transfer + ":min=" + matrix + ":pin=" + primaries + ":rin=" +
           (source.fullRange ? "pc" : "tv") +
           ":t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=mobius:desat=0,"
           "zscale=t=bt709:m=bt709:r=tv,format=yuv420p";
}

std::string PictureFilter(const VencOptions& o, const SourceVideo& source)
{
    // Sizes in output pixels: the display box is W x H at aspect D, the source's display
    // aspect is the scale filter's "dar" (its frame size and pixel aspect together). The
    // wider of the two fills the width, the other the height; sides stay even for 4:2:0.
    const std::string w = std::to_string(o.width);
    const std::string h = std::to_string(o.height);
    const std::string d = DisplayAspectExpression(o);
    const std::string wider = "gte(dar," + d + ")";
    const std::string scale = "scale=w='if(" + wider + "," + w + ",max(2,2*floor(" + w + "*dar/" + d +
                              "/2+0.5)))':h='if(" + wider + ",max(2,2*floor(" + h + "*" + d + "/dar/2+0.5))," + h +
                              ")'";
    const std::string pad = "pad=" + w + ":" + h + ":(ow-iw)/2:(oh-ih)/2:black";
    std::string filter = Deinterlacer(source.fieldOrder);
    if (source.crop.found)
        filter += ",crop=" + std::to_string(source.crop.width) + ":" + std::to_string(source.crop.height) + ":" +
                  std::to_string(source.crop.x) + ":" + std::to_string(source.crop.y);
    filter += "," + scale;
    // Tone-mapped after the scaling: the same picture at a fraction of the work.
    if (source.hdr != HdrTransfer::None)
        filter += "," + ToneMapFilter(source);
    // Square pixels unless -aspect says otherwise (ffmpeg applies -aspect after the filters).
    return filter + "," + pad + ",setsar=1";
}

namespace {

void Append(std::vector<std::string>& args, std::initializer_list<std::string> more)
{
    args.insert(args.end(), more);
}

// Quiet ffmpeg, the source with its trim, and the streams taken from it.
void AddInputArgs(const VencOptions& o, const SourceAudio& audio, EncodePlan& plan)
{
    std::vector<std::string>& a = plan.ffmpegArgs;
    // Only errors as text on stderr; progress as key=value blocks on stdout.
    a = {"-hide_banner", "-loglevel", "error", "-nostats", "-progress", "pipe:1"};
    // Input seeking is fast and, since ffmpeg decodes from the key frame before, exact.
    // A share of the processors, for the decoder (an input option) and, below, the filters
    // and the encoder: several encoders at once then do not crowd each other out.
    if (o.threads > 0)
        Append(a, {"-threads", std::to_string(o.threads), "-filter_threads", std::to_string(o.threads)});
    if (o.hasStart && o.startSeconds > 0.0)
        Append(a, {"-ss", FormatSeconds(o.startSeconds)});
    Append(a, {"-i", o.inputPath});
    if (o.hasLength) {
        Append(a, {"-t", FormatSeconds(o.lengthSeconds > 0.0 ? o.lengthSeconds : kShortestClipSeconds)});
        if (!(o.lengthSeconds > 0.0))
            plan.notes.push_back("venc: length 0 is a trim under one second; encoding 1 s from the start point");
    }
    // The first video stream that is not cover art, and the audio track the source flags as
    // its default (else its first); nothing else (DVD subtitles, data).
    Append(a, {"-map", "0:V:0?", "-map", "0:a:" + std::to_string(audio.trackIndex) + "?"});
    if (o.threads > 0)
        Append(a, {"-threads", std::to_string(o.threads)});
}

// The highest rate an iPod's Baseline decoder takes: 768 kbit/s up to 320x240 (the video
// iPod's Baseline 1.3), 1.5 Mbit/s up to 640x480 (the classic's); 0 where no iPod plays the
// file (Main, High, larger frames) and only the level limits it.
int IpodBaselinePeakKbps(const VencOptions& o)
{
    if (o.videoCodec != VideoCodec::H264 || o.profile != H264Profile::Baseline)
        return 0;
    const long pixels = static_cast<long>(o.width) * o.height;
    return pixels <= 320L * 240 ? 768 : pixels <= 640L * 480 ? 1500 : 0;
}

// H.264 in the level the device decodes, with a buffer model (VBV) that keeps every stretch
// of the stream within the device's, the level's, or the template's, peak rate.
bool AddH264Args(const VencOptions& o, double fps, EncodePlan& plan)
{
    // Within what the iPod takes: an average or a peak above it is brought down to it.
    const int devicePeak = IpodBaselinePeakKbps(o);
    int average = o.videoKbps;
    int askedPeak = o.maxrateKbps;
    if (devicePeak > 0 && (average > devicePeak || askedPeak > devicePeak)) {
        char line[200];
        std::snprintf(line, sizeof(line),
                      "venc: an iPod plays %dx%d H.264 at up to %d kbit/s; writing %d kbit/s with peaks up to %d",
                      o.width, o.height, devicePeak, std::min(average, devicePeak), devicePeak);
        plan.notes.push_back(line);
        average = std::min(average, devicePeak);
        askedPeak = askedPeak > 0 ? std::min(askedPeak, devicePeak) : 0;
    }
    // Without a peak rate of its own, peaks of half the average again, but never beyond
    // what the device or the level allows.
    int peakWanted = askedPeak > 0 ? askedPeak : average + average / 2;
    if (devicePeak > 0)
        peakWanted = std::min(peakWanted, devicePeak);
    plan.level = ChooseH264Level(o.levelIdc, o.width, o.height, fps, askedPeak > 0 ? askedPeak : average, o.profile);
    if (!plan.level.ok)
        return false;
    if (!plan.level.note.empty())
        plan.notes.push_back(plan.level.note);
    const H264Level& l = plan.level.level;
    plan.maxrateKbps = std::min(l.maxKbps, peakWanted);
    const int wantedBuffer = o.bufsizeKbit > 0 ? o.bufsizeKbit : 2 * plan.maxrateKbps;
    plan.bufsizeKbit = std::min(l.maxCpbKbit, wantedBuffer);
    const std::string levelText = l.idc == 9 ? "1b" : l.name;
    std::vector<std::string>& a = plan.ffmpegArgs;
    if (o.profile == H264Profile::Baseline) {
        if (o.coder != 0)
            plan.notes.push_back("venc: CABAC is not part of Constrained Baseline; using CAVLC");
        // One reference frame and no B-frames: Constrained Baseline, which every video iPod
        // decodes.
        Append(a, {"-c:v", "libx264", "-profile:v", "baseline", "-level", levelText, "-pix_fmt", "yuv420p", "-refs",
                   "1", "-bf", "0", "-coder", "0"});
    } else {
        // B-frames, but none used as references: the pyramid is beyond some of the first
        // devices that play Main and High.
        Append(a, {"-c:v", "libx264", "-profile:v", o.profile == H264Profile::High ? "high" : "main", "-level",
                   levelText, "-pix_fmt", "yuv420p", "-bf", "2", "-b-pyramid", "none", "-coder",
                   std::to_string(o.coder)});
    }
    Append(a, {"-b:v", Kilo(average), "-maxrate", Kilo(plan.maxrateKbps), "-bufsize", Kilo(plan.bufsizeKbit)});
    // How hard x264 works: its "faster" search, with sub-pixel refinement 5 and adaptive
    // quantisation by variance. Measured against x264's default ("medium") this takes a tenth
    // to a sixth less time for a higher SSIM at 320x240 and 640x480 (scripts/bench-x264.sh;
    // the figures are in docs/performance.md).
    Append(a, {"-preset", "faster", "-subq", "5", "-aq-mode", "2"});
    return true;
}

// The video iPod decodes MPEG-4 Simple Profile up to 2.5 Mbit/s at 640x480. A buffer model
// draining at 2 Mbit/s with a 500 kbit buffer keeps every second of the stream within that;
// the level declared is Simple Profile's for such rates at up to VGA (4a: level 3 allows only
// 384 kbit/s at CIF), unless the template's own peak fits level 3.
constexpr int kMpeg4PeakKbps = 2000;
constexpr int kMpeg4BufferKbit = 500;

// ffmpeg's own MPEG-4 Part 2 encoder, without B-frames, quarter-pel or GMC, writes Simple
// Profile, which every video iPod decodes.
void AddMpeg4Args(const VencOptions& o, EncodePlan& plan)
{
    const int peak = o.maxrateKbps > 0 ? std::min(o.maxrateKbps, kMpeg4PeakKbps) : kMpeg4PeakKbps;
    const int buffer = o.bufsizeKbit > 0 ? std::min(o.bufsizeKbit, kMpeg4BufferKbit) : kMpeg4BufferKbit;
    const int average = std::min(o.videoKbps, peak);
    if (average < o.videoKbps)
        plan.notes.push_back("venc: an iPod plays MPEG-4 at up to " + std::to_string(peak) + " kbit/s; writing " +
                             std::to_string(average) + " kbit/s");
    const bool level3 = peak <= 384 && o.width <= 352 && o.height <= 288;
    std::vector<std::string>& a = plan.ffmpegArgs;
    Append(a, {"-c:v", "mpeg4", "-profile:v", "0", "-level", level3 ? "3" : "4", "-pix_fmt", "yuv420p", "-bf", "0",
               "-b:v", Kilo(average), "-maxrate", Kilo(peak), "-bufsize", Kilo(buffer)});
}

// Key-frame distance, the picture fitted into the frame, its rate and display shape.
void AddPictureArgs(const VencOptions& o, const SourceVideo& source, const RateChoice& rate, EncodePlan& plan)
{
    std::vector<std::string>& a = plan.ffmpegArgs;
    if (o.gopFrames > 0)
        Append(a, {"-g", std::to_string(o.gopFrames)});
    Append(a, {"-vf", PictureFilter(o, source), "-s", std::to_string(o.width) + "x" + std::to_string(o.height)});
    if (!rate.ffmpegRate.empty())
        Append(a, {"-r", rate.ffmpegRate});
    if (!WrittenAspect(o).empty())
        Append(a, {"-aspect", o.aspect});
}

// AAC-LC (ffmpeg's encoder writes no other profile unless asked) at the rate and volume
// asked for.
void AddAudioArgs(const VencOptions& o, const SourceAudio& audio, EncodePlan& plan)
{
    std::vector<std::string>& a = plan.ffmpegArgs;
    Append(a, {"-c:a", "aac", "-b:a", Kilo(o.audioKbps), "-ac", std::to_string(o.channels)});
    const int asked = o.sampleRate > 0 ? o.sampleRate : audio.sampleRate;
    if (asked > kDeviceMaxSampleRate) {
        Append(a, {"-ar", std::to_string(kDeviceMaxSampleRate)});
        plan.notes.push_back("venc: " + std::to_string(asked) +
                             " Hz is more than the device plays; writing 48000 Hz audio");
    } else if (o.sampleRate > 0) {
        Append(a, {"-ar", std::to_string(o.sampleRate)});
    }
    if (o.volume != 256) {
        char filter[64];
        std::snprintf(filter, sizeof(filter), "volume=%.6g", o.volume / 256.0);
        Append(a, {"-af", filter});
    }
}

// The title and date the device lists, and the iPod flavour of MP4.
void AddTagsAndOutputArgs(const VencOptions& o, const std::string& nowTimestamp, EncodePlan& plan)
{
    std::vector<std::string>& a = plan.ffmpegArgs;
    if (o.hasTitle)
        Append(a, {"-metadata", "title=" + o.title});
    Append(a, {"-metadata", "creation_time=" + (o.timestamp.empty() ? nowTimestamp : o.timestamp)});
    // A stream that starts late, or sparse key frames, hold the other stream's packets back
    // until the first of its own arrives: room for them.
    Append(a, {"-max_muxing_queue_size", "4096"});
    // The index at the front, so that a player can start while the file downloads.
    Append(a, {"-movflags", "+faststart"});
    // The ipod muxer writes the avc1 "uuid" atom that 5th-generation iPods look for.
    Append(a, {"-f", "ipod", o.overwrite ? "-y" : "-n", o.outputPath});
}

} // namespace

bool MakeEncodePlan(const VencOptions& o, const SourceVideo& video, const std::string& nowTimestamp,
                    EncodePlan& plan)
{
    SourceDescription described;
    described.described = video.found;
    described.video = video;
    return MakeEncodePlan(o, described, nowTimestamp, plan);
}

bool MakeEncodePlan(const VencOptions& o, const SourceDescription& described, const std::string& nowTimestamp,
                    EncodePlan& plan)
{
    plan = EncodePlan{};
    const SourceVideo& source = described.video;
    AddInputArgs(o, described.audio, plan);
    // An audio-only source gives an audio-only file; its video settings say nothing.
    const bool audioOnly = described.described && !source.found && described.audio.found;
    const RateChoice rate = ChooseOutputRate(o, source);
    if (!rate.note.empty() && !audioOnly)
        plan.notes.push_back(rate.note);
    if (audioOnly)
        plan.notes.push_back("venc: the source has no video; writing its audio only");
    if (source.hdr != HdrTransfer::None)
        plan.notes.push_back(std::string("venc: the source is HDR (") +
                             (source.hdr == HdrTransfer::Pq ? "PQ" : "HLG") + "); tone-mapping it to SDR BT.709");
    if (!o.aspect.empty() && WrittenAspect(o).empty() && !AspectIsFrameShape(o))
        plan.notes.push_back("venc: an iPod shows square pixels; the picture keeps its shape inside the " +
                             std::to_string(o.width) + "x" + std::to_string(o.height) + " frame, not " + o.aspect);
    if (source.crop.found)
        plan.notes.push_back("venc: the source's picture has black bars; using its " +
                             std::to_string(source.crop.width) + "x" + std::to_string(source.crop.height) +
                             " picture at " + std::to_string(source.crop.x) + "," + std::to_string(source.crop.y));
    if (o.videoCodec == VideoCodec::H264) {
        if (!AddH264Args(o, rate.fps, plan))
            return false;
    } else {
        AddMpeg4Args(o, plan);
    }
    AddPictureArgs(o, source, rate, plan);
    if (source.hdr != HdrTransfer::None)
        Append(plan.ffmpegArgs, {"-color_primaries", "bt709", "-color_trc", "bt709", "-colorspace", "bt709"});
    AddAudioArgs(o, described.audio, plan);
    AddTagsAndOutputArgs(o, nowTimestamp, plan);
    return true;
}

std::string JoinWindowsCommandLine(const std::string& program, const std::vector<std::string>& args)
{
    std::string line = QuoteWindowsArgument(program);
    for (const std::string& arg : args) {
        line += ' ';
        line += QuoteWindowsArgument(arg);
    }
    return line;
}

} // namespace venc
