// The ffmpeg.exe argument lists the component runs.
#include "standins/videoedit/ffmpeg_commands.h"

#include <algorithm>
#include <cmath>

namespace vedit {
namespace {

// Options that make ffmpeg quiet, non-interactive and overwrite without asking.
std::vector<std::string> QuietStart()
{
    return {"-hide_banner", "-nostdin", "-loglevel", "error"};
}

void AddSeekedInput(std::vector<std::string>& args, const Clip& clip, double length)
{
    // Seeking before -i is exact when decoding: the first picture is the one at start.
    args.insert(args.end(), {"-ss", FormatSeconds(clip.start), "-t", FormatSeconds(length),
                             "-i", clip.path});
}

int EvenDimension(int value)
{
    return std::max(16, std::min(4096, value)) & ~1;
}

} // namespace

std::vector<std::string> ProbeArguments(const std::string& file)
{
    return {"-hide_banner", "-nostdin", "-i", file};
}

std::vector<std::string> MeasureLengthArguments(const std::string& file)
{
    return {"-hide_banner", "-nostdin", "-i", file, "-map", "0:v?", "-map", "0:a?", "-f", "null", "-"};
}

std::vector<std::string> EncoderListArguments()
{
    return {"-hide_banner", "-encoders"};
}

double PlayableLength(const ResolvedClip& resolved)
{
    const Clip& clip = resolved.clip;
    if (!(clip.length > 0) || clip.start < 0)
        return 0;
    double length = clip.length;
    if (resolved.info.durationKnown)
        length = std::min(length, resolved.info.durationSeconds - clip.start);
    return length > 0 ? length : 0;
}

Rational PreviewFrameRate(const MediaInfo& info)
{
    double fps = info.framesPerSecond;
    if (!(fps > 0))
        fps = 25;
    return FrameRateAsRational(std::max(1.0, std::min(30.0, fps)));
}

std::vector<std::string> PreviewVideoArguments(const Clip& clip, PixelSize size, Rational rate,
                                               const MediaInfo& info)
{
    std::vector<std::string> args = QuietStart();
    AddSeekedInput(args, clip, clip.length);
    std::string filter;
    if (info.hasCrop)
        filter = "crop=" + std::to_string(info.cropWidth) + ":" + std::to_string(info.cropHeight) + ":" +
                 std::to_string(info.cropX) + ":" + std::to_string(info.cropY) + ",";
    filter += "fps=" + FormatRational(rate) + ",scale=" + std::to_string(size.width) + ":" +
              std::to_string(size.height);
    args.insert(args.end(), {"-map", "0:v:0", "-an", "-sn", "-vf", filter, "-pix_fmt", "bgr24",
                             "-f", "rawvideo", "pipe:1"});
    return args;
}

std::vector<std::string> PreviewAudioArguments(const Clip& clip, int sampleRate, int channels)
{
    std::vector<std::string> args = QuietStart();
    AddSeekedInput(args, clip, clip.length);
    args.insert(args.end(), {"-map", "0:a:0", "-vn", "-sn", "-ac", std::to_string(channels), "-ar",
                             std::to_string(sampleRate), "-f", "s16le", "pipe:1"});
    return args;
}

namespace {

// One input of the conversion: a clip and how much of it is read.
struct ConvertInput {
    Clip clip;
    double length;
};

struct ConvertInputs {
    std::vector<ConvertInput> inputs;
    std::vector<size_t> videoInputs; // the input of each usable video clip, in order
    std::vector<size_t> audioInputs; // likewise for the audio clips
    double totalSeconds = 0;
};

// Why the settings cannot be written (empty when they can), and the codecs they choose: none
// for uncompressed AVI streams and for MPEG-1, whose codecs are fixed.
std::string ChooseCodecs(const OutputSettings& settings, const std::vector<CodecEntry>& videoCodecs,
                         const std::vector<CodecEntry>& audioCodecs, const std::string& outputPath,
                         const CodecEntry*& videoCodec, const CodecEntry*& audioCodec)
{
    videoCodec = nullptr;
    audioCodec = nullptr;
    if (outputPath.empty())
        return "no output file";
    if (settings.format != kFormatAvi && settings.format != kFormatMpeg1)
        return "unknown output format " + std::to_string(settings.format);
    const bool avi = settings.format == kFormatAvi;
    if (avi && settings.videoCompression) {
        if (settings.videoCodecIndex < 0 || settings.videoCodecIndex >= static_cast<int>(videoCodecs.size()))
            return "no video codec at index " + std::to_string(settings.videoCodecIndex);
        videoCodec = &videoCodecs[settings.videoCodecIndex];
    }
    if (avi && settings.audioCompression) {
        if (settings.audioCodecIndex < 0 || settings.audioCodecIndex >= static_cast<int>(audioCodecs.size()))
            return "no audio codec at index " + std::to_string(settings.audioCodecIndex);
        audioCodec = &audioCodecs[settings.audioCodecIndex];
    }
    return {};
}

// Each usable clip once; an audio clip on the same stretch as a video clip shares its input.
ConvertInputs GatherInputs(const std::vector<ResolvedClip>& videoClips, const std::vector<ResolvedClip>& audioClips)
{
    ConvertInputs result;
    std::vector<ConvertInput>& inputs = result.inputs;
    for (const ResolvedClip& resolved : videoClips) {
        const double length = PlayableLength(resolved);
        if (!resolved.info.hasVideo || length <= 0)
            continue;
        result.videoInputs.push_back(inputs.size());
        inputs.push_back({resolved.clip, length});
        result.totalSeconds += length;
    }
    for (const ResolvedClip& resolved : audioClips) {
        const double length = PlayableLength(resolved);
        if (!resolved.info.hasAudio || length <= 0)
            continue;
        size_t index = inputs.size();
        for (size_t v : result.videoInputs) {
            const ConvertInput& input = inputs[v];
            if (input.clip.path == resolved.clip.path && input.clip.start == resolved.clip.start &&
                input.length == length) {
                index = v;
                break;
            }
        }
        if (index == inputs.size())
            inputs.push_back({resolved.clip, length});
        result.audioInputs.push_back(index);
    }
    return result;
}

struct FilterGraph {
    std::string graph;
    std::string videoOut; // the label of the joined video
    std::string audioOut; // the label of the joined audio; empty when there is none
};

// Each clip is brought to the output's rate and size (letterboxed, aspect kept) so that clips
// of different sources can follow one another; then the clips are joined. A clip whose pixels
// are not square (a DVD's 720x576 shown at 16:9) is first widened to square pixels, so that
// it is fitted by the shape it is shown at, not the shape it is stored in.
FilterGraph BuildFilterGraph(const ConvertInputs& inputs, int width, int height, Rational rate, bool rawVideo)
{
    const std::vector<size_t>& videoInputs = inputs.videoInputs;
    const std::vector<size_t>& audioInputs = inputs.audioInputs;
    FilterGraph result;
    std::string& graph = result.graph;
    const std::string size = std::to_string(width) + ":" + std::to_string(height);
    const std::string squarePixels = "scale=trunc(iw*sar/2)*2:ih,setsar=1";
    for (size_t i = 0; i < videoInputs.size(); ++i) {
        graph += "[" + std::to_string(videoInputs[i]) + ":v:0]fps=" + FormatRational(rate) + "," + squarePixels +
                 ",scale=" + size + ":force_original_aspect_ratio=decrease,pad=" + size +
                 ":(ow-iw)/2:(oh-ih)/2,setsar=1,format=" + (rawVideo ? "bgr24" : "yuv420p") + "[v" +
                 std::to_string(i) + "];";
    }
    for (size_t i = 0; i < audioInputs.size(); ++i) {
        graph += "[" + std::to_string(audioInputs[i]) +
                 ":a:0]aresample=44100,aformat=sample_rates=44100:channel_layouts=stereo[a" +
                 std::to_string(i) + "];";
    }
    result.videoOut = "[v0]";
    if (videoInputs.size() > 1) {
        for (size_t i = 0; i < videoInputs.size(); ++i)
            graph += "[v" + std::to_string(i) + "]";
        graph += "concat=n=" + std::to_string(videoInputs.size()) + ":v=1:a=0[vout];";
        result.videoOut = "[vout]";
    }
    result.audioOut = audioInputs.empty() ? "" : "[a0]";
    if (audioInputs.size() > 1) {
        for (size_t i = 0; i < audioInputs.size(); ++i)
            graph += "[a" + std::to_string(i) + "]";
        graph += "concat=n=" + std::to_string(audioInputs.size()) + ":v=0:a=1[aout];";
        result.audioOut = "[aout]";
    }
    graph.pop_back(); // the last ';'
    return result;
}

// The codecs and container: AVI with the chosen codecs (raw video and PCM audio where none
// was chosen), or MPEG-1 with MP2 audio.
void AddEncoderArguments(std::vector<std::string>& args, bool avi, const CodecEntry* videoCodec,
                         const CodecEntry* audioCodec, bool hasAudio)
{
    if (avi) {
        if (videoCodec) {
            args.insert(args.end(), {"-c:v", videoCodec->encoder, "-q:v", "3"});
            if (!videoCodec->fourcc.empty())
                args.insert(args.end(), {"-vtag", videoCodec->fourcc});
        } else {
            args.insert(args.end(), {"-c:v", "rawvideo"});
        }
        if (hasAudio) {
            if (audioCodec && audioCodec->encoder == "libmp3lame")
                args.insert(args.end(), {"-c:a", "libmp3lame", "-b:a", "128k"});
            else
                args.insert(args.end(), {"-c:a", audioCodec ? audioCodec->encoder : "pcm_s16le"});
        }
        args.insert(args.end(), {"-f", "avi"});
    } else {
        args.insert(args.end(), {"-c:v", "mpeg1video", "-q:v", "3"});
        if (hasAudio)
            args.insert(args.end(), {"-c:a", "mp2", "-b:a", "192k"});
        args.insert(args.end(), {"-f", "mpeg"});
    }
    if (!hasAudio)
        args.push_back("-an");
}

} // namespace

ConvertCommand BuildConvertCommand(const std::vector<ResolvedClip>& videoClips,
                                   const std::vector<ResolvedClip>& audioClips,
                                   const OutputSettings& settings,
                                   const std::vector<CodecEntry>& videoCodecs,
                                   const std::vector<CodecEntry>& audioCodecs,
                                   const std::string& outputPath)
{
    ConvertCommand command;
    const CodecEntry* videoCodec = nullptr;
    const CodecEntry* audioCodec = nullptr;
    command.refusal = ChooseCodecs(settings, videoCodecs, audioCodecs, outputPath, videoCodec, audioCodec);
    if (!command.refusal.empty())
        return command;
    const ConvertInputs inputs = GatherInputs(videoClips, audioClips);
    command.totalSeconds = inputs.totalSeconds;
    if (inputs.videoInputs.empty()) {
        command.refusal = "no readable video clip";
        return command;
    }

    const bool avi = settings.format == kFormatAvi;
    const Rational rate = avi ? FrameRateAsRational(settings.framesPerSecond)
                              : NearestMpeg1FrameRate(settings.framesPerSecond);
    const FilterGraph graph = BuildFilterGraph(inputs, EvenDimension(settings.width), EvenDimension(settings.height),
                                               rate, avi && !videoCodec);

    std::vector<std::string>& args = command.arguments;
    args = QuietStart();
    args.insert(args.end(), {"-y", "-nostats", "-progress", "pipe:1"});
    for (const ConvertInput& input : inputs.inputs)
        AddSeekedInput(args, input.clip, input.length);
    args.insert(args.end(), {"-filter_complex", graph.graph, "-map", graph.videoOut});
    if (!graph.audioOut.empty())
        args.insert(args.end(), {"-map", graph.audioOut});
    args.insert(args.end(), {"-r", FormatRational(rate)});
    AddEncoderArguments(args, avi, videoCodec, audioCodec, !graph.audioOut.empty());
    // Sources whose streams start apart would otherwise overflow the muxer's queue.
    args.insert(args.end(), {"-max_muxing_queue_size", "4096", outputPath});
    command.accepted = true;
    return command;
}

} // namespace vedit
