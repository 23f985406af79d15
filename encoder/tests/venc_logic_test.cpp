// venc's pure parts: the classic command line, the level and VBV it asks of x264, the
// ffmpeg arguments, quoting, and the progress line the program reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "encoder/crop_detect.h"
#include "encoder/encode_plan.h"
#include "encoder/progress_report.h"
#include "encoder/source_probe.h"
#include "encoder/venc_options.h"

using namespace venc;

namespace {

// Splits at blanks outside double quotes, dropping the quotes.
std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

// The value that follows an option in an argument list, or "<absent>".
std::string After(const std::vector<std::string>& args, const std::string& option)
{
    auto it = std::find(args.begin(), args.end(), option);
    if (it == args.end() || it + 1 == args.end())
        return "<absent>";
    return *(it + 1);
}

ptrdiff_t IndexOf(const std::vector<std::string>& args, const std::string& word)
{
    return std::find(args.begin(), args.end(), word) - args.begin();
}

SourceVideo Source(double fps, FieldOrder order = FieldOrder::Unknown)
{
    SourceVideo source;
    source.found = true;
    source.fps = fps;
    source.fieldOrder = order;
    return source;
}

EncodePlan PlanFor(const std::string& line, const SourceVideo& source = Source(25.0))
{
    const ParseResult parsed = ParseVencArguments(Words(line));
    EXPECT_TRUE(parsed.ok) << parsed.error;
    EncodePlan plan;
    EXPECT_TRUE(MakeEncodePlan(parsed.options, source, "2026-01-02 03:04:05", plan));
    return plan;
}

} // namespace

TEST(VencOptions, ReadsEveryOptionOfTheSettingsDrivenTemplate)
{
    // What the program's first profile expands to, blanks and all.
    const ParseResult r = ParseVencArguments(Words(
        "-y -i C:\\v\\in.avi  -ss 00:01:05 -t 01:02:04 -vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 "
        "-s 416x176 -r 23.976 -b 768 -aspect 16:9 -ac 1 -ab 48 -ar 44100 -vol 384 -title Holiday "
        "-timestamp 2026-12-07 20:01:02 D:\\out\\Holiday.mp4"));
    ASSERT_TRUE(r.ok) << r.error;
    const VencOptions& o = r.options;
    EXPECT_TRUE(o.overwrite);
    EXPECT_EQ(o.inputPath, "C:\\v\\in.avi");
    EXPECT_EQ(o.outputPath, "D:\\out\\Holiday.mp4");
    EXPECT_DOUBLE_EQ(o.startSeconds, 65.0);
    EXPECT_DOUBLE_EQ(o.lengthSeconds, 3724.0);
    EXPECT_EQ(o.videoCodec, VideoCodec::H264);
    EXPECT_EQ(o.levelIdc, 13);
    EXPECT_EQ(o.bufsizeKbit, 256);
    EXPECT_EQ(o.gopFrames, 250);
    EXPECT_EQ(o.width, 416);
    EXPECT_EQ(o.height, 176);
    EXPECT_DOUBLE_EQ(o.framesPerSecond, 23.976);
    EXPECT_EQ(o.videoKbps, 768);
    EXPECT_EQ(o.aspect, "16:9");
    EXPECT_EQ(o.channels, 1);
    EXPECT_EQ(o.audioKbps, 48);
    EXPECT_EQ(o.sampleRate, 44100);
    EXPECT_EQ(o.volume, 384);
    EXPECT_EQ(o.title, "Holiday");
    EXPECT_EQ(o.timestamp, "2026-12-07 20:01:02") << "an unquoted time stamp is two words";
}

TEST(VencOptions, RefusesWhatItCannotHonourWithOneLineNamingIt)
{
    const char* const base = "-i in.avi ";
    const struct {
        const char* tail;
        const char* mentions;
    } cases[] = {
        {"-preset fast out.mp4", "'-preset'"},
        {"out.mp4 -b", "'-b' needs a value"},
        {"-ss 1:2:3:4 out.mp4", "-ss"},
        {"-ss 00:61:00 out.mp4", "-ss"},
        {"-t 00:00:x out.mp4", "-t"},
        {"-t -5 out.mp4", "-t"},
        {"-vcodec mpeg2 out.mp4", "-vcodec"},
        {"-s 321x240 out.mp4", "-s"},
        {"-s 320*240 out.mp4", "-s"},
        {"-ac 6 out.mp4", "-ac"},
        {"-ar 22000 out.mp4", "-ar"},
        {"-vlevel 14 out.mp4", "-vlevel"},
        {"-vprofile extended out.mp4", "-vprofile"},
        {"-maxrate 0 out.mp4", "-maxrate"},
        {"-b 1200 -maxrate 1000 out.mp4", "-maxrate 1000 is below"},
        {"-b 640k out.mp4", "-b"},
        {"-r 0 out.mp4", "-r"},
        {"-timestamp yesterday out.mp4", "-timestamp"},
        {"a.mp4 b.mp4", "more than one output"},
        {"", "no output file"},
        {"in.avi", "is the input"},
    };
    for (const auto& c : cases) {
        const ParseResult r = ParseVencArguments(Words(std::string(base) + c.tail));
        EXPECT_FALSE(r.ok) << c.tail;
        EXPECT_NE(r.error.find(c.mentions), std::string::npos) << c.tail << " -> " << r.error;
        EXPECT_EQ(r.error.find('\n'), std::string::npos);
        EXPECT_EQ(r.error.rfind("venc: ", 0), 0u);
    }
    EXPECT_FALSE(ParseVencArguments(Words("out.mp4")).ok) << "no input";

    // Arguments come from a Windows command line and may hold line breaks: quoted, they
    // must not break the one-line refusal.
    const ParseResult broken = ParseVencArguments({"-i", "in.avi", "-vcodec\r\n", "x", "out.mp4"});
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(broken.error.find_first_of("\r\n"), std::string::npos) << broken.error;
    EXPECT_NE(broken.error.find("'-vcodec?" "?'"), std::string::npos) << broken.error;
}

TEST(VencOptions, ClockTimesAllowLongHoursAndFractions)
{
    double s = -1;
    EXPECT_TRUE(ParseClockTime("123:00:01", s));
    EXPECT_DOUBLE_EQ(s, 123 * 3600.0 + 1);
    EXPECT_TRUE(ParseClockTime("00:00:02.5", s));
    EXPECT_DOUBLE_EQ(s, 2.5);
    EXPECT_TRUE(ParseClockTime("90", s));
    EXPECT_DOUBLE_EQ(s, 90.0);
    EXPECT_FALSE(ParseClockTime("00:00:60", s));
    EXPECT_FALSE(ParseClockTime("1.5:00", s));
    EXPECT_FALSE(ParseClockTime("", s));
    EXPECT_FALSE(ParseClockTime("00::01", s));
}

TEST(H264Levels, KeepsTheRequestedLevelOrRaisesItToTheLowestThatFits)
{
    LevelChoice c = ChooseH264Level(13, 320, 240, 29.97, 640);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.level.idc, 13);
    EXPECT_TRUE(c.note.empty());

    c = ChooseH264Level(13, 176, 120, 14.985, 128);
    EXPECT_EQ(c.level.idc, 13) << "a lower level that fits is not chosen over the requested one";

    c = ChooseH264Level(13, 320, 240, 29.97, 1500);
    EXPECT_EQ(c.level.idc, 20) << "1500 kbit/s needs level 2";
    EXPECT_NE(c.note.find("level 1.3"), std::string::npos) << c.note;
    EXPECT_NE(c.note.find("using level 2"), std::string::npos) << c.note;

    c = ChooseH264Level(13, 640, 480, 30.0, 1500);
    EXPECT_EQ(c.level.idc, 30) << "640x480 at 30 fps is 36000 macroblocks a second";

    c = ChooseH264Level(13, 480, 160, 30.0, 640);
    EXPECT_EQ(c.level.idc, 13) << "30x10 macroblocks fit level 1.3";

    c = ChooseH264Level(10, 176, 144, 15.0, 100);
    EXPECT_EQ(c.level.idc, 9) << "level 1b comes between 1 and 1.1";

    c = ChooseH264Level(13, 4096, 2304, 120.0, 640);
    EXPECT_FALSE(c.ok);
    EXPECT_FALSE(c.error.empty());
}

TEST(EncodePlan, H264IsConstrainedBaselineWithAVbvInsideTheLevel)
{
    const EncodePlan plan = PlanFor("-i in.avi -ss 00:00:10 -t 00:00:30 -vcodec h264 -coder 0 -vlevel 13 "
                                    "-bufsize 5000 -g 250 -s 320x240 -b 640 -title T out.mp4");
    const auto& a = plan.ffmpegArgs;
    EXPECT_LT(IndexOf(a, "-ss"), IndexOf(a, "-i")) << "input seeking";
    EXPECT_GT(IndexOf(a, "-t"), IndexOf(a, "-i")) << "exact length on the output";
    EXPECT_EQ(After(a, "-ss"), "10.000");
    EXPECT_EQ(After(a, "-t"), "30.000");
    EXPECT_EQ(After(a, "-c:v"), "libx264");
    EXPECT_EQ(After(a, "-profile:v"), "baseline");
    EXPECT_EQ(After(a, "-level"), "1.3");
    EXPECT_EQ(After(a, "-pix_fmt"), "yuv420p");
    EXPECT_EQ(After(a, "-refs"), "1");
    EXPECT_EQ(After(a, "-bf"), "0");
    EXPECT_EQ(After(a, "-coder"), "0");
    EXPECT_EQ(After(a, "-maxrate"), "768k") << "960k would break level 1.3";
    EXPECT_EQ(After(a, "-bufsize"), "2000k") << "level 1.3 holds at most 2000 kbit";
    EXPECT_EQ(After(a, "-g"), "250");
    EXPECT_EQ(After(a, "-f"), "ipod");
    EXPECT_EQ(After(a, "-c:a"), "aac");
    EXPECT_EQ(a.back(), "out.mp4");
    EXPECT_EQ(a[a.size() - 2], "-n") << "no -y: never overwrite";
    EXPECT_EQ(IndexOf(a, "-af"), static_cast<ptrdiff_t>(a.size())) << "volume 256 adds no filter";
    EXPECT_NE(std::find(a.begin(), a.end(), "title=T"), a.end());
    EXPECT_NE(std::find(a.begin(), a.end(), "creation_time=2026-01-02 03:04:05"), a.end());
}

TEST(EncodePlan, OtherSettingsTranslate)
{
    EncodePlan plan = PlanFor("-y -i in.avi -vcodec xvid -s 320x240 -r 29.97 -b 512 -aspect 16:9 -ac 1 -ab 48 "
                              "-ar 24000 -vol 384 -timestamp \"2026-12-07 20:01:02\" out.mp4");
    const auto& a = plan.ffmpegArgs;
    EXPECT_EQ(After(a, "-c:v"), "mpeg4");
    EXPECT_EQ(After(a, "-profile:v"), "0") << "Simple Profile";
    EXPECT_EQ(std::find(a.begin(), a.end(), "libx264"), a.end());
    EXPECT_EQ(After(a, "-r"), "30000/1001");
    EXPECT_EQ(After(a, "-aspect"), "<absent>") << "the video iPod shows square pixels";
    EXPECT_NE(After(a, "-vf").find("(320/240)"), std::string::npos) << "the picture fitted to the frame's shape";
    EXPECT_EQ(After(a, "-ac"), "1");
    EXPECT_EQ(After(a, "-b:a"), "48k");
    EXPECT_EQ(After(a, "-ar"), "24000");
    EXPECT_EQ(After(a, "-af"), "volume=1.5");
    EXPECT_EQ(a[a.size() - 2], "-y");
    EXPECT_EQ(IndexOf(a, "-ss"), static_cast<ptrdiff_t>(a.size())) << "no start given, no seek";

    EXPECT_EQ(FrameRateForFfmpeg("14.985", 14.985), "15000/1001");
    EXPECT_EQ(FrameRateForFfmpeg("23.976", 23.976), "24000/1001");
    EXPECT_EQ(FrameRateForFfmpeg("25", 25.0), "25");

    // 1500 kbit/s at 320x240 is more than the video iPod plays: its 768 kbit/s at level 1.3.
    plan = PlanFor("-i in.avi -coder 1 -b 1500 out.mp4");
    ASSERT_EQ(plan.notes.size(), 2u) << "the iPod's limit and CABAC each get their line";
    EXPECT_EQ(After(plan.ffmpegArgs, "-level"), "1.3");
    EXPECT_EQ(After(plan.ffmpegArgs, "-b:v"), "768k");
    EXPECT_EQ(After(plan.ffmpegArgs, "-maxrate"), "768k");
    EXPECT_EQ(After(plan.ffmpegArgs, "-coder"), "0");
}

// A share of the processors reaches the decoder (before the input) and the encoder (after
// it); without the option ffmpeg keeps its own choice, as the command line never named one.
TEST(EncodePlan, ThreadShareGoesToDecoderFiltersAndEncoder)
{
    const auto shared = PlanFor("-i in.avi -threads 2 out.mp4").ffmpegArgs;
    const ptrdiff_t input = IndexOf(shared, "-i");
    ASSERT_LT(input, static_cast<ptrdiff_t>(shared.size()));
    EXPECT_LT(IndexOf(shared, "-threads"), input);
    EXPECT_EQ(After(shared, "-filter_threads"), "2");
    const auto after = std::vector<std::string>(shared.begin() + input, shared.end());
    EXPECT_EQ(After(after, "-threads"), "2") << "the encoder's own share";

    EXPECT_EQ(IndexOf(PlanFor("-i in.avi out.mp4").ffmpegArgs, "-threads"),
              static_cast<ptrdiff_t>(PlanFor("-i in.avi out.mp4").ffmpegArgs.size()));
    for (const char* bad : {"0", "65", "two"})
        EXPECT_FALSE(ParseVencArguments(Words(std::string("-i in.avi -threads ") + bad + " out.mp4")).ok) << bad;
}

TEST(EncodePlan, IpodFilesPeakWithinWhatTheDeviceDecodes)
{
    // The classic's 1.5 Mbit/s at 640x480, not half as much again.
    EncodePlan plan = PlanFor("-i in.avi -vlevel 30 -bufsize 2000 -s 640x480 -b 1500 out.mp4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-maxrate"), "1500k");
    EXPECT_EQ(After(plan.ffmpegArgs, "-b:v"), "1500k");
    plan = PlanFor("-i in.avi -s 416x176 -b 768 out.mp4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-maxrate"), "768k") << "416x176 has no more pixels than 320x240";
    plan = PlanFor("-i in.avi -vprofile main -s 320x240 -b 1500 out.mp4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-b:v"), "1500k") << "Main is for newer devices, with the level's limits";
    // MPEG-4: Simple Profile level 4a, a buffer model within the video iPod's 2.5 Mbit/s.
    plan = PlanFor("-i in.avi -vcodec xvid -s 320x240 -b 1500 out.mp4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-level"), "4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-maxrate"), "2000k");
    EXPECT_EQ(After(plan.ffmpegArgs, "-bufsize"), "500k");
    plan = PlanFor("-i in.avi -vcodec xvid -s 320x240 -maxrate 384 -bufsize 300 -b 256 out.mp4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-level"), "3") << "a peak that fits level 3";
}

TEST(EncodePlan, MainAndHighUseCabacAndTheTemplatesPeakRate)
{
    // The 720p template: Main with CABAC, its own peak rate and buffer, B-frames allowed.
    EncodePlan plan = PlanFor("-i in.avi -vcodec h264 -vprofile main -coder 1 -vlevel 31 -maxrate 5000 "
                              "-bufsize 5000 -s 1280x720 -b 2500 -ar 48000 out.mp4",
                              Source(50.0));
    const auto& a = plan.ffmpegArgs;
    EXPECT_EQ(After(a, "-profile:v"), "main");
    EXPECT_EQ(After(a, "-level"), "3.1") << "3600 macroblocks at 25 fps";
    EXPECT_EQ(After(a, "-coder"), "1");
    EXPECT_EQ(After(a, "-maxrate"), "5000k");
    EXPECT_EQ(After(a, "-bufsize"), "5000k");
    EXPECT_EQ(After(a, "-b:v"), "2500k");
    EXPECT_EQ(After(a, "-ar"), "48000");
    EXPECT_EQ(After(a, "-refs"), "<absent>");
    EXPECT_TRUE(plan.notes.size() == 1 && plan.notes[0].find("25 fps") != std::string::npos)
        << "only the halved rate is noted, CABAC is no news in Main";

    // The level is chosen for the peak rate: 768 kbit/s peaks fit 1.3, 800 do not.
    plan = PlanFor("-i in.avi -vlevel 13 -maxrate 768 -bufsize 768 -b 640 out.mp4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-level"), "1.3");
    EXPECT_EQ(After(plan.ffmpegArgs, "-maxrate"), "768k");
    plan = PlanFor("-i in.avi -vprofile main -vlevel 13 -maxrate 800 -b 640 out.mp4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-level"), "2");

    // High allows a quarter more than Baseline and Main at the same level.
    LevelChoice c = ChooseH264Level(40, 1920, 1080, 30.0, 25000, H264Profile::High);
    EXPECT_EQ(c.level.idc, 40);
    EXPECT_EQ(c.level.maxCpbKbit, 31250);
    c = ChooseH264Level(40, 1920, 1080, 30.0, 25000, H264Profile::Main);
    EXPECT_EQ(c.level.idc, 41);
    plan = PlanFor("-i in.avi -vprofile high -coder 0 -vlevel 40 -s 1920x1080 -b 5000 out.mp4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-profile:v"), "high");
    EXPECT_EQ(After(plan.ffmpegArgs, "-coder"), "0") << "CAVLC when the template asks for it";
}

TEST(EncodePlan, OutputRateStaysWithinWhatTheDevicePlaysAndTheLevelDeclared)
{
    const std::string line = "-i in.avi -vcodec h264 -coder 0 -vlevel 13 -s 320x240 -b 640 out.mp4";
    const struct {
        double sourceFps;
        const char* rate; // "-r" value, "<absent>" keeps the source's rate
        double nominalFps = 0.0; // the stream's tbr where it differs from its average rate
    } cases[] = {{24.0, "<absent>"}, {25.0, "<absent>"}, {29.97, "<absent>"}, {30.0, "<absent>"},
                 {30.01, "30"},       {30.12, "30", 30.0},   {29.3, "30", 30.0}, {30.3, "30000/1001", 29.97},
                 {48.0, "24"},        {50.0, "25"},          {59.94, "30000/1001"}, {60.0, "30"},
                 {90.0, "30"},        {100.0, "25"},         {120.0, "30"},      {35.0, "30"},
                 {0.0, "30"}};
    for (const auto& c : cases) {
        SourceVideo source = Source(c.sourceFps);
        source.tbr = c.nominalFps > 0.0 ? c.nominalFps : c.sourceFps;
        const EncodePlan plan = PlanFor(line, source);
        EXPECT_EQ(After(plan.ffmpegArgs, "-r"), c.rate) << c.sourceFps << " fps";
        EXPECT_EQ(After(plan.ffmpegArgs, "-level"), "1.3") << c.sourceFps << " fps: 300 macroblocks at 30 fps fit";
    }
    // A rate asked for is honoured and the level follows it.
    const EncodePlan asked = PlanFor("-i in.avi -s 320x240 -r 60 -b 640 out.mp4", Source(60.0));
    EXPECT_EQ(After(asked.ffmpegArgs, "-r"), "60");
    EXPECT_EQ(After(asked.ffmpegArgs, "-level"), "2.1") << "18000 macroblocks a second";
}

TEST(EncodePlan, ZeroLengthIsTheShortestClipFromTheStart)
{
    const EncodePlan plan = PlanFor("-i in.avi -ss 00:00:07 -t 00:00:00 out.mp4");
    EXPECT_EQ(After(plan.ffmpegArgs, "-ss"), "7.000");
    EXPECT_EQ(After(plan.ffmpegArgs, "-t"), "1.000");
}

TEST(SourceProbe, ReadsRateAndFieldOrderOfTheFirstVideoStream)
{
    const std::string dvd = "Input #0, mpeg, from 'C:\\v\\dvd.vob':\r\n"
                            "  Duration: 00:00:03.02, start: 0.500000, bitrate: 6030 kb/s\r\n"
                            "    Stream #0:0[0x1e0]: Video: mpeg2video (Main), yuv420p(tv, top first), 720x576 "
                            "[SAR 16:15 DAR 4:3], 25 fps, 25 tbr, 90k tbn, 50 tbc\r\n"
                            "    Stream #0:1[0x80]: Audio: ac3, 48000 Hz, stereo, fltp, 192 kb/s\r\n";
    SourceVideo v = ParseSourceVideo(dvd);
    EXPECT_TRUE(v.found);
    EXPECT_DOUBLE_EQ(v.fps, 25.0);
    EXPECT_EQ(v.fieldOrder, FieldOrder::TopFirst);

    v = ParseSourceVideo("    Stream #0:1(und): Audio: aac (LC)\n    Stream #0:0(und): Video: h264 (High) (avc1 / "
                         "0x31637661), yuv420p(tv, bt709, progressive), 1280x720 [SAR 1:1 DAR 16:9], 5000 kb/s, "
                         "59.94 fps, 59.94 tbr, 60k tbn, 119.88 tbc (default)\n");
    EXPECT_DOUBLE_EQ(v.fps, 59.94);
    EXPECT_EQ(v.fieldOrder, FieldOrder::Progressive);

    v = ParseSourceVideo("    Stream #0:0: Video: rawvideo, yuv422p(bottom coded first (swapped)), 720x480, 1k tbr");
    EXPECT_DOUBLE_EQ(v.fps, 1000.0) << "no fps: the tbr, with its k";
    EXPECT_EQ(v.fieldOrder, FieldOrder::TopFirst) << "shown top field first";

    EXPECT_FALSE(ParseSourceVideo("in.avi: Invalid data found when processing input\r\n").found);
}

TEST(SourceProbe, ReadsColoursRotationLengthAndTheDefaultAudioTrack)
{
    const SourceDescription phone = ParseSourceDescription(
        "  Duration: 00:01:02.50, start: 0.000000, bitrate: 9000 kb/s\n"
        "  Stream #0:0[0x1](und): Video: hevc (Main 10) (hvc1 / 0x31637668), yuv420p10le(tv, "
        "bt2020nc/bt2020/arib-std-b67), 1920x1080, 8000 kb/s, 29.98 fps, 30 tbr, 600 tbn (default)\n"
        "    Side data:\n      displaymatrix: rotation of -90.00 degrees\n"
        "  Stream #0:1[0x2](und): Audio: aac (LC), 96000 Hz, stereo, fltp, 256 kb/s\n"
        "  Stream #0:2[0x3](eng): Audio: ac3, 48000 Hz, 5.1(side), fltp, 448 kb/s (default)\n"
        "  Stream #0:3: Video: mjpeg (Baseline), yuvj420p(pc), 600x600, 90k tbr (attached pic)\n");
    EXPECT_DOUBLE_EQ(phone.durationSeconds, 62.5);
    EXPECT_EQ(phone.video.hdr, HdrTransfer::Hlg);
    EXPECT_EQ(phone.video.matrix, "bt2020nc");
    EXPECT_EQ(phone.video.primaries, "bt2020");
    EXPECT_EQ(phone.video.width, 1080) << "shown upright";
    EXPECT_EQ(phone.video.height, 1920);
    EXPECT_DOUBLE_EQ(phone.video.tbr, 30.0);
    EXPECT_EQ(phone.audio.trackIndex, 1) << "the track flagged default";
    EXPECT_EQ(phone.audio.sampleRate, 48000);

    const SourceDescription song = ParseSourceDescription(
        "  Stream #0:0: Audio: flac, 96000 Hz, stereo, s32 (24 bit)\n"
        "  Stream #0:1: Video: mjpeg (Baseline), yuvj420p(pc, bt470bg/unknown/unknown), 500x500, 90k tbr (attached pic)\n");
    EXPECT_FALSE(song.video.found) << "cover art is no video";
    EXPECT_EQ(song.audio.sampleRate, 96000);
    EXPECT_EQ(ParseSourceVideo("Stream #0:0: Video: vp9 (Profile 2), yuv420p10le(tv, bt2020nc/bt2020/smpte2084), "
                               "3840x2160, 25 fps").hdr,
              HdrTransfer::Pq);
}

TEST(EncodePlan, HdrIsToneMappedAndTaggedSdrWhileSdrIsLeftAlone)
{
    SourceVideo hdr = Source(25.0);
    hdr.hdr = HdrTransfer::Pq;
    EncodePlan plan = PlanFor("-i in.mp4 -s 320x240 -b 640 out.mp4", hdr);
    const std::string vf = After(plan.ffmpegArgs, "-vf");
    EXPECT_NE(vf.find("zscale=tin=smpte2084"), std::string::npos) << vf;
    EXPECT_LT(vf.find("scale=w="), vf.find("tonemap=")) << "mapped after the picture is made small";
    EXPECT_EQ(After(plan.ffmpegArgs, "-color_trc"), "bt709");
    plan = PlanFor("-i in.mp4 -s 320x240 -b 640 out.mp4", Source(25.0));
    EXPECT_EQ(After(plan.ffmpegArgs, "-vf").find("tonemap"), std::string::npos);
    EXPECT_EQ(After(plan.ffmpegArgs, "-color_trc"), "<absent>");
    EXPECT_EQ(After(plan.ffmpegArgs, "-movflags"), "+faststart");
}

TEST(EncodePlan, AudioAbove48kHzIsWritten48kHzAndTheDefaultTrackIsTaken)
{
    SourceDescription source;
    source.described = source.video.found = source.audio.found = true;
    source.video.fps = 25.0;
    source.audio.sampleRate = 96000;
    source.audio.trackIndex = 2;
    const ParseResult same = ParseVencArguments(Words("-i in.mkv -s 320x240 -b 640 out.mp4"));
    EncodePlan plan;
    ASSERT_TRUE(MakeEncodePlan(same.options, source, "2026-01-02 03:04:05", plan));
    EXPECT_EQ(After(plan.ffmpegArgs, "-ar"), "48000");
    EXPECT_EQ(plan.ffmpegArgs[IndexOf(plan.ffmpegArgs, "0:V:0?") + 2], "0:a:2?");
    source.audio.sampleRate = 44100;
    ASSERT_TRUE(MakeEncodePlan(same.options, source, "2026-01-02 03:04:05", plan));
    EXPECT_EQ(After(plan.ffmpegArgs, "-ar"), "<absent>") << "a rate the device plays is kept";

    source.video = SourceVideo{};
    ASSERT_TRUE(MakeEncodePlan(same.options, source, "2026-01-02 03:04:05", plan));
    for (const std::string& note : plan.notes)
        EXPECT_EQ(note.find("fps"), std::string::npos) << "an audio-only source: " << note;
}

TEST(CropDetect, CutsOnlyBarsThatAreBlackOnEveryFrameThatShowsAPicture)
{
    // A 4:3 show pillarboxed in 1920x1080 (picture 1440 wide from x=240), one frame of it
    // a brighter shot reaching a little further left, one a night scene.
    const std::string pillarbox = "[Parsed_cropdetect_0] x1:241 x2:1679 y1:0 y2:1079 w:1438 h:1080\n"
                                  "[Parsed_cropdetect_1] x1:240 x2:1678 y1:2 y2:1077 w:1438 h:1076\n"
                                  "[Parsed_cropdetect_2] x1:239 x2:1679 y1:0 y2:1079 w:1440 h:1080\n"
                                  "[Parsed_cropdetect_3] x1:900 x2:1100 y1:500 y2:560 w:200 h:60\n";
    CropBox box = CropFromDetections(pillarbox, 1920, 1080, 4);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.x, 238) << "even, and the brightest frame's first column kept";
    EXPECT_EQ(box.y, 0) << "2 rows are no bar";
    EXPECT_EQ(box.height, 1080);
    EXPECT_GE(box.x + box.width, 1680);
    EXPECT_EQ(box.width % 2, 0);

    // Mostly dark frames: nothing can be told, nothing is cut.
    EXPECT_FALSE(CropFromDetections(pillarbox, 1920, 1080, 8).found);
    // A full picture: nothing to cut.
    EXPECT_FALSE(CropFromDetections("x1:0 x2:639 y1:0 y2:479\nx1:1 x2:638 y1:1 y2:479\nx1:0 x2:639 y1:0 y2:478\n",
                                    640, 480, 3).found);
    EXPECT_EQ(CropSamplePositions(0.0).size(), 0u) << "unknown length: no samples";
    EXPECT_EQ(CropSamplePositions(80.0).front(), 5.0);
}

TEST(WindowsQuoting, SurvivesTheRuntimesSplitting)
{
    EXPECT_EQ(QuoteWindowsArgument("plain"), "plain");
    EXPECT_EQ(QuoteWindowsArgument(""), "\"\"");
    EXPECT_EQ(QuoteWindowsArgument("C:\\My Videos\\a.avi"), "\"C:\\My Videos\\a.avi\"");
    EXPECT_EQ(QuoteWindowsArgument("C:\\My Dir\\"), "\"C:\\My Dir\\\\\"") << "a trailing backslash is doubled";
    EXPECT_EQ(QuoteWindowsArgument("title=say \"hi\""), "\"title=say \\\"hi\\\"\"");
    EXPECT_EQ(QuoteWindowsArgument("a\\\"b"), "\"a\\\\\\\"b\"");
    EXPECT_EQ(JoinWindowsCommandLine("C:\\app dir\\ffmpeg.exe", {"-i", "x y"}),
              "\"C:\\app dir\\ffmpeg.exe\" -i \"x y\"");
}

namespace {

const char kTwoBlocks[] = "frame=250\nfps=50.1\nstream_0_0_q=5.0\nbitrate= 419.4kbits/s\ntotal_size=524288\n"
                          "out_time_us=10000000\nout_time_ms=10000000\nout_time=00:00:10.000000\ndup_frames=0\n"
                          "drop_frames=0\nspeed=2.0x\nprogress=continue\n"
                          "frame=300\nstream_0_0_q=-1.0\nbitrate=N/A\ntotal_size=N/A\nout_time_ms=12040000\n"
                          "progress=end\n";

} // namespace

TEST(ProgressReader, ReadsBlocksHoweverThePipeCutsThem)
{
    ProgressReader whole;
    EXPECT_TRUE(whole.Feed(kTwoBlocks, sizeof(kTwoBlocks) - 1));

    ProgressReader bytewise;
    int completed = 0;
    for (size_t i = 0; i + 1 < sizeof(kTwoBlocks); ++i)
        completed += bytewise.Feed(kTwoBlocks + i, 1) ? 1 : 0;
    EXPECT_EQ(completed, 2);

    for (const ProgressReader* r : {&whole, &bytewise}) {
        const ProgressSnapshot& s = r->Latest();
        EXPECT_TRUE(s.end);
        EXPECT_EQ(s.frame, 300);
        EXPECT_DOUBLE_EQ(s.quality, 5.0) << "-1 at the end keeps the last quantiser";
        EXPECT_EQ(s.totalBytes, 524288) << "N/A keeps the last size";
        EXPECT_DOUBLE_EQ(s.kbitsPerSecond, 419.4);
        EXPECT_DOUBLE_EQ(s.outSeconds, 12.04);
    }

    ProgressReader early;
    const char negative[] = "frame=0\nout_time_us=-23220\nout_time=-00:00:00.023220\nprogress=continue\n";
    ASSERT_TRUE(early.Feed(negative, sizeof(negative) - 1));
    EXPECT_DOUBLE_EQ(early.Latest().outSeconds, 0.0) << "before the first frame the time is never negative";
    EXPECT_FALSE(early.Feed("frame=1\nout_ti", 15)) << "an incomplete block reports nothing";

    // Figures that are no finite numbers keep the previous value instead of being converted.
    ProgressReader odd;
    const char normal[] = "frame=10\ntotal_size=2048\nout_time_us=1000000\nprogress=continue\n";
    const char bogus[] = "frame=inf\ntotal_size=1e999\nout_time_us=nan\nout_time=00:00:inf\nprogress=continue\n"
                         "frame=-5\ntotal_size=-1\nprogress=continue\n";
    ASSERT_TRUE(odd.Feed(normal, sizeof(normal) - 1));
    ASSERT_TRUE(odd.Feed(bogus, sizeof(bogus) - 1));
    EXPECT_EQ(odd.Latest().frame, 10);
    EXPECT_EQ(odd.Latest().totalBytes, 2048);
    EXPECT_DOUBLE_EQ(odd.Latest().outSeconds, 1.0);
}

TEST(ProgressLine, HasTheClassicLayoutThatTheProgramReads)
{
    ProgressSnapshot s;
    s.frame = 250;
    s.quality = 5.0;
    s.totalBytes = 512 * 1024;
    s.outSeconds = 10.0;
    s.kbitsPerSecond = 419.4;
    EXPECT_EQ(FormatProgressLine(s), "frame=  250 q=5.0 size=     512kB time=10.00 bitrate= 419.4kbits/s");

    // The program reads 8 characters after "size=" and 5 after "time=".
    const struct {
        long long kilobytes;
        double seconds;
        double readSeconds;
    } cases[] = {{0, 0.0, 0.0}, {1, 9.994, 9.99}, {99999999, 123.456, 123.4}, {4096, 9999.99, 9999.0}};
    for (const auto& c : cases) {
        s.totalBytes = c.kilobytes * 1024 + 1023;
        s.outSeconds = c.seconds;
        const std::string line = FormatProgressLine(s);
        const auto size = line.find("size=");
        const auto time = line.find("time=");
        ASSERT_NE(size, std::string::npos);
        ASSERT_NE(time, std::string::npos);
        EXPECT_EQ(line.substr(size + 13, 2), "kB") << line;
        EXPECT_EQ(std::atoll(line.substr(size + 5, 8).c_str()), c.kilobytes) << line;
        EXPECT_NEAR(std::atof(line.substr(time + 5, 5).c_str()), c.readSeconds, 1e-9) << line;
    }
}
