// The component's pure parts: command lines, ffmpeg's output, picture geometry, the file
// memory and the conversion command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "standins/videoedit/codec_catalog.h"
#include "standins/videoedit/command_line.h"
#include "standins/videoedit/ffmpeg_commands.h"
#include "standins/videoedit/media_info_cache.h"
#include "standins/videoedit/media_probe.h"
#include "standins/videoedit/preview_geometry.h"
#include "standins/videoedit/progress_parser.h"

using namespace vedit;

namespace {

// The value following an option, or "" when the option is absent.
std::string After(const std::vector<std::string>& args, const std::string& option)
{
    auto it = std::find(args.begin(), args.end(), option);
    return (it == args.end() || it + 1 == args.end()) ? std::string() : *(it + 1);
}

size_t CountOf(const std::vector<std::string>& args, const std::string& value)
{
    return static_cast<size_t>(std::count(args.begin(), args.end(), value));
}

const char kAviProbe[] =
    "Input #0, avi, from 'C:\\media\\holiday clip.avi':\n"
    "  Metadata:\n"
    "    encoder         : Lavf58.20.100\n"
    "  Duration: 00:01:04.05, start: 0.000000, bitrate: 1190 kb/s\n"
    "    Stream #0:0: Video: mpeg4 (Simple Profile) (FMP4 / 0x34504D46), yuv420p, 640x360 [SAR 1:1 DAR 16:9], 1056 kb/s, 29.97 fps, 29.97 tbr, 29.97 tbn, 29.97 tbc\n"
    "    Stream #0:1: Audio: mp3 (U[0][0][0] / 0x0055), 44100 Hz, stereo, fltp, 128 kb/s\n"
    "At least one output file must be specified\n";

} // namespace

TEST(CommandLine, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(QuoteArgument("-i"), "-i");
    EXPECT_EQ(QuoteArgument(""), "\"\"");
    EXPECT_EQ(QuoteArgument("C:\\My Videos\\a.avi"), "\"C:\\My Videos\\a.avi\"");
    // A backslash before the closing quote must not escape it.
    EXPECT_EQ(QuoteArgument("C:\\My Videos\\"), "\"C:\\My Videos\\\\\"");
    EXPECT_EQ(QuoteArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(JoinCommandLine({"-i", "a b", "-f", "null"}), "-i \"a b\" -f null");
}

TEST(CommandLine, SecondsAndRates)
{
    EXPECT_EQ(FormatSeconds(1.5), "1.500");
    EXPECT_EQ(FormatSeconds(3661.0004), "3661.000");
    EXPECT_EQ(FormatSeconds(-2), "0.000");
    EXPECT_EQ(FormatSeconds(std::numeric_limits<double>::quiet_NaN()), "0.000");

    // A frame rate arrives as a float: 23.976f is 23.9759998...
    EXPECT_EQ(FormatRational(FrameRateAsRational(23.976f)), "24000/1001");
    EXPECT_EQ(FormatRational(FrameRateAsRational(29.97)), "30000/1001");
    EXPECT_EQ(FormatRational(FrameRateAsRational(25.0f)), "25/1");
    EXPECT_EQ(FormatRational(FrameRateAsRational(12.5)), "12500/1000");
    EXPECT_EQ(FormatRational(FrameRateAsRational(0)), "25/1");
    EXPECT_EQ(FormatRational(FrameRateAsRational(-1)), "25/1");

    EXPECT_EQ(FormatRational(NearestMpeg1FrameRate(23.976f)), "24000/1001");
    EXPECT_EQ(FormatRational(NearestMpeg1FrameRate(26)), "25/1");
    EXPECT_EQ(FormatRational(NearestMpeg1FrameRate(15)), "24000/1001");
    EXPECT_EQ(FormatRational(NearestMpeg1FrameRate(100)), "60/1");
}

TEST(ProbeOutput, ReadsLengthSizeRateAndStreams)
{
    const MediaInfo info = ParseProbeOutput(kAviProbe);
    EXPECT_TRUE(info.readable);
    EXPECT_TRUE(info.durationKnown);
    EXPECT_NEAR(info.durationSeconds, 64.05, 1e-9);
    EXPECT_TRUE(info.hasVideo);
    EXPECT_EQ(info.width, 640); // not the hexadecimal tag 0x34504D46
    EXPECT_EQ(info.height, 360);
    EXPECT_NEAR(info.framesPerSecond, 29.97, 1e-9);
    EXPECT_TRUE(info.hasAudio);
}

TEST(ProbeOutput, UnstatedLengthUnreadableFilesAndCoverPictures)
{
    const MediaInfo noLength = ParseProbeOutput(
        "Input #0, rm, from 'x.rm':\n  Duration: N/A, start: 0.000000, bitrate: N/A\n"
        "    Stream #0:0: Video: rv10 (RV10 / 0x30315652), yuv420p, 352x288, 25 tbr, 1k tbn, 1k tbc\n");
    EXPECT_TRUE(noLength.readable);
    EXPECT_FALSE(noLength.durationKnown);
    EXPECT_EQ(noLength.durationSeconds, 0);
    EXPECT_NEAR(noLength.framesPerSecond, 25, 1e-9); // from tbr when fps is not given
    EXPECT_FALSE(noLength.hasAudio);

    const MediaInfo broken = ParseProbeOutput("C:\\junk.bin: Invalid data found when processing input\n");
    EXPECT_FALSE(broken.readable);
    EXPECT_EQ(broken.durationSeconds, 0);

    const MediaInfo text = ParseProbeOutput(
        "Input #0, tty, from 'C:\\notes.txt':\n  Duration: 00:00:00.04, bitrate: 2 kb/s\n"
        "    Stream #0:0: Video: ansi, pal8, 640x400, 25 tbr, 25 tbn, 25 tbc\n");
    EXPECT_FALSE(text.readable) << "a text file is not a video";
    EXPECT_EQ(text.durationSeconds, 0);

    const MediaInfo music = ParseProbeOutput(
        "Input #0, mp3, from 'song.mp3':\n  Duration: 00:03:00.00, start: 0.025057, bitrate: 128 kb/s\n"
        "    Stream #0:0: Audio: mp3, 44100 Hz, stereo, fltp, 128 kb/s\n"
        "    Stream #0:1: Video: mjpeg, yuvj420p(pc), 500x500 [SAR 1:1 DAR 1:1], 90k tbr, 90k tbn (attached pic)\n");
    EXPECT_TRUE(music.readable);
    EXPECT_TRUE(music.hasAudio);
    EXPECT_FALSE(music.hasVideo);

    // A phone's portrait clip is stored 1920x1080 and shown upright.
    const MediaInfo portrait = ParseProbeOutput(
        "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'IMG_0001.MOV':\n  Duration: 00:00:03.00, start: 0.000000\n"
        "  Stream #0:0[0x1](und): Video: hevc (Main 10) (hvc1 / 0x31637668), yuv420p10le(tv, "
        "bt2020nc/bt2020/arib-std-b67), 1920x1080 [SAR 1:1 DAR 16:9], 30 fps, 30 tbr, 600 tbn (default)\n"
        "    Side data:\n      displaymatrix: rotation of -90.00 degrees\n"
        "  Stream #0:1[0x2](und): Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, stereo, fltp (default)\n");
    EXPECT_EQ(portrait.width, 1080);
    EXPECT_EQ(portrait.height, 1920);
}

TEST(ProbeOutput, ClockTimesProgressTimesAndEncoders)
{
    double seconds = 0;
    EXPECT_TRUE(ParseClockTime("01:02:03.50", seconds));
    EXPECT_NEAR(seconds, 3723.5, 1e-9);
    EXPECT_TRUE(ParseClockTime("-00:00:00.04", seconds));
    EXPECT_NEAR(seconds, -0.04, 1e-9);
    EXPECT_FALSE(ParseClockTime("N/A", seconds));
    EXPECT_FALSE(ParseClockTime("12:34", seconds));

    EXPECT_NEAR(ParseLastProgressTime("frame=  10 time=00:00:00.40 bitrate=N/A\rframe=  99 time=00:00:03.96 bitrate=N/A\n"),
                3.96, 1e-9);
    EXPECT_EQ(ParseLastProgressTime("nothing decoded"), -1);

    const std::set<std::string> encoders = ParseEncoderList(
        "Encoders:\r\n V..... = Video\r\n A..... = Audio\r\n ------\r\n"
        " V.S... mpeg1video           MPEG-1 video\r\n"
        " V..... msmpeg4              MPEG-4 part 2 Microsoft variant version 3 (codec msmpeg4v3)\r\n"
        " A..... libmp3lame           libmp3lame MP3 (MPEG audio layer 3) (codec mp3)\r\n");
    EXPECT_EQ(encoders, (std::set<std::string>{"mpeg1video", "msmpeg4", "libmp3lame"})); // not "=" from the legend
}

TEST(Progress, FollowsTheReportAcrossSplitChunks)
{
    ProgressParser parser;
    parser.Feed("frame=10\nout_time_ms=4000");
    EXPECT_EQ(parser.PositionSeconds(), 0); // the line is not complete yet
    parser.Feed("00\nout_time=00:00:00.400000\nprogress=continue\n");
    EXPECT_NEAR(parser.PositionSeconds(), 0.4, 1e-9);
    parser.Feed("out_time_ms=N/A\r\nout_time_us=2500000\r\n");
    EXPECT_NEAR(parser.PositionSeconds(), 2.5, 1e-9);
    parser.Feed("out_time=-00:00:00.040000\nout_time_ms=1000000\n"); // never goes back
    EXPECT_NEAR(parser.PositionSeconds(), 2.5, 1e-9);
    EXPECT_FALSE(parser.Ended());
    parser.Feed("progress=end\n");
    EXPECT_TRUE(parser.Ended());
}

TEST(Geometry, PicturesKeepTheirAspect)
{
    const PixelRect pillar = FitKeepingAspect(320, 240, 400, 200); // 4:3 in 2:1: bars left and right
    EXPECT_EQ(pillar.height, 200);
    EXPECT_EQ(pillar.width, 267);
    EXPECT_EQ(pillar.left, 66);
    EXPECT_EQ(pillar.top, 0);

    const PixelRect letter = FitKeepingAspect(1920, 1080, 320, 240); // 16:9 in 4:3: bars above and below
    EXPECT_EQ(letter.width, 320);
    EXPECT_EQ(letter.height, 180);
    EXPECT_EQ(letter.top, 30);

    const PixelRect exact = FitKeepingAspect(640, 480, 320, 240);
    EXPECT_EQ(exact.left, 0);
    EXPECT_EQ(exact.width, 320);
    EXPECT_EQ(FitKeepingAspect(0, 240, 320, 240).width, 0);
    EXPECT_EQ(FitKeepingAspect(320, 240, 0, 240).width, 0);
}

TEST(Geometry, DecodeSizeIsEvenNeverLargerThanSourceOrWindow)
{
    const PixelSize big = PreviewDecodeSize(1920, 1080, 345, 251);
    EXPECT_EQ(big.width % 2, 0);
    EXPECT_EQ(big.height % 2, 0);
    EXPECT_LE(big.width, 345);
    EXPECT_LE(big.height, 251);
    EXPECT_NEAR(static_cast<double>(big.width) / big.height, 16.0 / 9.0, 0.05);

    const PixelSize small = PreviewDecodeSize(176, 144, 800, 600); // the window scales it up
    EXPECT_EQ(small.width, 176);
    EXPECT_EQ(small.height, 144);

    const PixelSize unknown = PreviewDecodeSize(0, 0, 800, 600);
    EXPECT_EQ(unknown.width, 320);
    EXPECT_EQ(unknown.height, 240);

    const PixelSize sliver = PreviewDecodeSize(4000, 10, 100, 100);
    EXPECT_GE(sliver.height, 2);
}

TEST(Geometry, PreviewShowsTheSourceAtItsDisplayShape)
{
    // The pixel shape as ffmpeg states it (square when unstated or unknown), and the
    // frame's shape on screen in the program's 264x200 video window: widescreen sources,
    // square-pixelled or anamorphic, fill its width with bars above and below, narrower
    // ones its height with bars at the sides.
    struct Case {
        const char* stream;
        double shape;
    } const cases[] = {{"720x405 [SAR 1:1 DAR 16:9]", 16.0 / 9}, {"720x576 [SAR 64:45 DAR 16:9]", 16.0 / 9},
                       {"720x480 [SAR 8:9 DAR 4:3]", 4.0 / 3},  {"720x576 [SAR 0:1 DAR 0:1]", 5.0 / 4},
                       {"720x576", 5.0 / 4}};
    for (const Case& c : cases) {
        const MediaInfo info = ParseProbeOutput(std::string("Input #0, mpeg, from 'a.mpg':\n"
                                                            "    Stream #0:0[0x1e0]: Video: mpeg2video, yuv420p, ") +
                                                c.stream + ", 25 fps, 25 tbr, 90k tbn\n");
        const PixelSize shown = DisplaySize(info.width, info.height, info.pixelAspectWidth, info.pixelAspectHeight);
        EXPECT_NEAR(static_cast<double>(shown.width) / shown.height, c.shape, 0.01) << c.stream;
        const PixelSize decoded = PreviewDecodeSize(shown.width, shown.height, 264, 200);
        const PixelRect box = FitKeepingAspect(decoded.width, decoded.height, 264, 200);
        const double width = std::min(264.0, 200 * c.shape);
        EXPECT_NEAR(box.width, width, 2.0) << c.stream;
        EXPECT_NEAR(box.height, width / c.shape, 2.0) << c.stream;
        EXPECT_EQ(box.top, (200 - box.height) / 2) << c.stream;
        EXPECT_EQ(box.left, (264 - box.width) / 2) << c.stream;
    }
}

TEST(FileMemory, AnswersOnlyForTheSameUnchangedFile)
{
    MediaInfoCache cache;
    MediaInfo info;
    info.readable = true;
    info.durationSeconds = 12.5;
    cache.Store({"C:\\Videos\\Clip.avi", 1000, 77}, info);

    const MediaInfo* found = cache.Find({"c:/videos/CLIP.AVI", 1000, 77});
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->durationSeconds, 12.5);
    EXPECT_EQ(cache.Find({"C:\\Videos\\Clip.avi", 1001, 77}), nullptr); // rewritten: other size
    EXPECT_EQ(cache.Find({"C:\\Videos\\Clip.avi", 1000, 78}), nullptr); // touched: other time
    EXPECT_EQ(cache.Find({"C:\\Videos\\Other.avi", 1000, 77}), nullptr);

    info.durationSeconds = 3;
    cache.Store({"C:\\Videos\\Clip.avi", 2000, 90}, info);
    EXPECT_EQ(cache.Size(), 1u); // the changed file replaced its old entry
    EXPECT_EQ(cache.Find({"C:\\Videos\\Clip.avi", 2000, 90})->durationSeconds, 3);
}

TEST(Codecs, OnlyWhatTheEncoderHasInAFixedOrder)
{
    const auto video = AvailableVideoCodecs({"mpeg4", "msmpeg4", "libx264"});
    ASSERT_EQ(video.size(), 2u);
    EXPECT_EQ(video[0].displayName, "Microsoft MPEG-4 Video Codec V3");
    EXPECT_NE(video[1].displayName.find("DivX"), std::string::npos);

    const auto audio = AvailableAudioCodecs({"pcm_s16le", "aac"});
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].displayName, "PCM");
    EXPECT_TRUE(AvailableVideoCodecs({}).empty());
}

namespace {

MediaInfo Movie(double seconds, bool audio = true)
{
    MediaInfo info;
    info.readable = info.hasVideo = info.durationKnown = true;
    info.durationSeconds = seconds;
    info.width = 352;
    info.height = 288;
    info.framesPerSecond = 25;
    info.hasAudio = audio;
    return info;
}

const std::set<std::string> kEncoders = {"msmpeg4", "mpeg4", "libmp3lame", "pcm_s16le", "mpeg1video", "mp2"};

OutputSettings AviWithCodecs(int video, int audio)
{
    OutputSettings settings;
    settings.format = kFormatAvi;
    settings.videoCompression = settings.audioCompression = true;
    settings.videoCodecIndex = video;
    settings.audioCodecIndex = audio;
    return settings;
}

ConvertCommand Build(const std::vector<ResolvedClip>& video, const std::vector<ResolvedClip>& audio,
                     const OutputSettings& settings, const std::string& out = "C:\\out.avi")
{
    return BuildConvertCommand(video, audio, settings, AvailableVideoCodecs(kEncoders), AvailableAudioCodecs(kEncoders), out);
}

} // namespace

TEST(ConvertCommand, ClipLengthIsCutAtTheEndOfTheFile)
{
    EXPECT_EQ(PlayableLength({{"a.rm", 2, 5}, Movie(10)}), 5);
    EXPECT_EQ(PlayableLength({{"a.rm", 8, 5}, Movie(10)}), 2);
    EXPECT_EQ(PlayableLength({{"a.rm", 12, 5}, Movie(10)}), 0);
    EXPECT_EQ(PlayableLength({{"a.rm", 2, 0}, Movie(10)}), 0);
    EXPECT_EQ(PlayableLength({{"a.rm", -1, 3}, Movie(10)}), 0);
    MediaInfo unknownLength = Movie(0);
    unknownLength.durationKnown = false;
    EXPECT_EQ(PlayableLength({{"a.rm", 30, 4}, unknownLength}), 4);
}

TEST(ConvertCommand, AviWithChosenCodecsFromOneSharedInput)
{
    const ResolvedClip clip{{"C:\\in put.rm", 1.25, 3.0}, Movie(60)};
    const ConvertCommand command = Build({clip}, {clip}, AviWithCodecs(0, 0));
    ASSERT_TRUE(command.accepted) << command.refusal;
    const auto& args = command.arguments;
    EXPECT_EQ(CountOf(args, "-i"), 1u) << "the audio clip on the same stretch shares the input";
    EXPECT_EQ(After(args, "-ss"), "1.250");
    EXPECT_EQ(After(args, "-t"), "3.000");
    EXPECT_EQ(After(args, "-i"), "C:\\in put.rm");
    EXPECT_EQ(After(args, "-c:v"), "msmpeg4");
    EXPECT_EQ(After(args, "-vtag"), "MP43");
    EXPECT_EQ(After(args, "-c:a"), "libmp3lame");
    EXPECT_EQ(After(args, "-r"), "25/1");
    EXPECT_EQ(After(args, "-f"), "avi");
    EXPECT_EQ(After(args, "-progress"), "pipe:1");
    EXPECT_NE(After(args, "-filter_complex").find("320:240"), std::string::npos);
    EXPECT_EQ(args.back(), "C:\\out.avi");
    EXPECT_EQ(command.totalSeconds, 3.0);

    const ConvertCommand second = Build({clip}, {clip}, AviWithCodecs(1, 1));
    ASSERT_TRUE(second.accepted);
    EXPECT_EQ(After(second.arguments, "-c:v"), "mpeg4");
    EXPECT_EQ(After(second.arguments, "-c:a"), "pcm_s16le");
}

TEST(ConvertCommand, MpegAtAnMpegRateWhateverCodecsAreSet)
{
    const ResolvedClip clip{{"C:\\a.rm", 0, 4}, Movie(10)};
    OutputSettings settings = AviWithCodecs(7, 7); // left over from an earlier AVI; not used
    settings.format = kFormatMpeg1;
    settings.framesPerSecond = 23.976f;
    const ConvertCommand command = Build({clip}, {clip}, settings, "C:\\x.mpg");
    ASSERT_TRUE(command.accepted) << command.refusal;
    EXPECT_EQ(After(command.arguments, "-c:v"), "mpeg1video");
    EXPECT_EQ(After(command.arguments, "-c:a"), "mp2");
    EXPECT_EQ(After(command.arguments, "-r"), "24000/1001");
    EXPECT_EQ(After(command.arguments, "-f"), "mpeg");
}

TEST(ConvertCommand, SeveralClipsFollowOneAnother)
{
    const ResolvedClip first{{"C:\\a.avi", 0, 2}, Movie(10)};
    const ResolvedClip second{{"C:\\b.avi", 5, 10}, Movie(8)}; // only 3 s left in the file
    const ResolvedClip silent{{"C:\\c.avi", 0, 1}, Movie(5, false)};
    const ConvertCommand command = Build({first, second}, {first, second, silent}, AviWithCodecs(0, 0));
    ASSERT_TRUE(command.accepted) << command.refusal;
    EXPECT_NEAR(command.totalSeconds, 5.0, 1e-9);
    EXPECT_EQ(CountOf(command.arguments, "-i"), 2u) << "c.avi has no sound and is left out";
    const std::string graph = After(command.arguments, "-filter_complex");
    EXPECT_NE(graph.find("concat=n=2:v=1:a=0"), std::string::npos);
    EXPECT_NE(graph.find("concat=n=2:v=0:a=1"), std::string::npos);
}

TEST(ConvertCommand, WithoutSoundOrCompression)
{
    const ResolvedClip mute{{"C:\\a.avi", 0, 2}, Movie(10, false)};
    OutputSettings plain; // AVI, compression never switched on
    const ConvertCommand command = Build({mute}, {mute}, plain);
    ASSERT_TRUE(command.accepted) << command.refusal;
    EXPECT_EQ(After(command.arguments, "-c:v"), "rawvideo");
    EXPECT_EQ(CountOf(command.arguments, "-an"), 1u);
    EXPECT_EQ(After(command.arguments, "-c:a"), "");
}

TEST(ConvertCommand, RefusesWhatCannotBeWritten)
{
    const ResolvedClip clip{{"C:\\a.avi", 0, 2}, Movie(10)};
    EXPECT_FALSE(Build({}, {clip}, AviWithCodecs(0, 0)).accepted) << "no video clip";
    EXPECT_FALSE(Build({{{"C:\\a.avi", 20, 2}, Movie(10)}}, {}, AviWithCodecs(0, 0)).accepted) << "clip past the end";
    EXPECT_FALSE(Build({{{"C:\\n.txt", 0, 2}, MediaInfo()}}, {}, AviWithCodecs(0, 0)).accepted) << "unreadable file";
    EXPECT_FALSE(Build({clip}, {clip}, AviWithCodecs(3, 0)).accepted) << "no such video codec";
    EXPECT_FALSE(Build({clip}, {clip}, AviWithCodecs(0, -1)).accepted) << "no such audio codec";
    OutputSettings unknown;
    unknown.format = 7;
    EXPECT_FALSE(Build({clip}, {clip}, unknown).accepted) << "unknown format";
    EXPECT_FALSE(Build({clip}, {clip}, AviWithCodecs(0, 0), "").accepted) << "no file name";
}

TEST(PreviewCommands, DecodeTheClipAtItsStartAsRawPictures)
{
    const std::vector<std::string> video = PreviewVideoArguments({"C:\\a.avi", 2.5, 1.0}, {320, 180}, {25, 1});
    EXPECT_EQ(After(video, "-ss"), "2.500");
    EXPECT_EQ(After(video, "-t"), "1.000");
    EXPECT_EQ(After(video, "-vf"), "fps=25/1,scale=320:180");
    // The picture inside the source's own black bars, as venc converts it.
    MediaInfo barred;
    barred.hasCrop = true;
    barred.cropWidth = 480, barred.cropHeight = 360, barred.cropX = 80, barred.cropY = 0;
    EXPECT_EQ(After(PreviewVideoArguments({"C:\\a.avi", 2.5, 1.0}, {320, 240}, {25, 1}, barred), "-vf"),
              "crop=480:360:80:0,fps=25/1,scale=320:240");
    EXPECT_EQ(After(video, "-pix_fmt"), "bgr24");
    EXPECT_EQ(video.back(), "pipe:1");
    // -ss before -i: the first picture is the one at the start time.
    EXPECT_LT(std::find(video.begin(), video.end(), "-ss"), std::find(video.begin(), video.end(), "-i"));

    const std::vector<std::string> audio = PreviewAudioArguments({"C:\\a.avi", 2.5, 1.0}, 44100, 2);
    EXPECT_EQ(After(audio, "-f"), "s16le");
    EXPECT_EQ(After(audio, "-ar"), "44100");

    MediaInfo fast = Movie(1);
    fast.framesPerSecond = 60;
    EXPECT_EQ(FormatRational(PreviewFrameRate(fast)), "30/1");
    fast.framesPerSecond = 0;
    EXPECT_EQ(FormatRational(PreviewFrameRate(fast)), "25/1");
}
