// The ffmpeg.exe argument lists the component runs: reading a file, listing encoders,
// decoding preview pictures and sound, and writing a clip list. Pure code: no windows.h.
// Every list leaves out the program itself.
#pragma once
#include <string>
#include <vector>

#include "standins/videoedit/codec_catalog.h"
#include "standins/videoedit/command_line.h"
#include "standins/videoedit/media_probe.h"
#include "standins/videoedit/preview_geometry.h"

namespace vedit {

// One entry of a clip list: a stretch of a file, from start for length seconds.
struct Clip {
    std::string path;
    double start = 0;
    double length = 0;
};

// A clip together with what ffmpeg said about its file.
struct ResolvedClip {
    Clip clip;
    MediaInfo info;
};

// Output formats as the component's SetOutputFormat numbers them.
constexpr int kFormatMpeg1 = 6;
constexpr int kFormatAvi = 8;

struct OutputSettings {
    int width = 320;
    int height = 240;
    int colorDepth = 24;
    double framesPerSecond = 25.0;
    int format = kFormatAvi;
    bool videoCompression = false;
    bool audioCompression = false;
    int videoCodecIndex = 0; // into the available video codec list
    int audioCodecIndex = 0;
};

std::vector<std::string> ProbeArguments(const std::string& file);
// Decodes a file to nowhere; its last progress time is the length of a file whose
// container does not state one.
std::vector<std::string> MeasureLengthArguments(const std::string& file);
std::vector<std::string> EncoderListArguments();

// The seconds of a clip that its file really has: the length, cut at the end of the file.
double PlayableLength(const ResolvedClip& clip);

// The rate preview pictures are decoded at: the source's, kept between 1 and 30 per second.
Rational PreviewFrameRate(const MediaInfo& info);

// Raw 24-bit BGR pictures, top row first, size.width*size.height*3 bytes each, on stdout;
// the picture inside the source's own black bars where the info names them, as venc
// converts it.
std::vector<std::string> PreviewVideoArguments(const Clip& clip, PixelSize size, Rational rate,
                                               const MediaInfo& info = MediaInfo());

// Interleaved signed 16-bit samples on stdout.
std::vector<std::string> PreviewAudioArguments(const Clip& clip, int sampleRate, int channels);

struct ConvertCommand {
    bool accepted = false;
    std::string refusal;            // why not, when not accepted
    std::vector<std::string> arguments;
    double totalSeconds = 0;        // the length of the written video
};

// Writes the video clips one after another (and the audio clips the same way beside them)
// to outputPath at the settings' size and rate, reporting progress on stdout.
ConvertCommand BuildConvertCommand(const std::vector<ResolvedClip>& videoClips,
                                   const std::vector<ResolvedClip>& audioClips,
                                   const OutputSettings& settings,
                                   const std::vector<CodecEntry>& videoCodecs,
                                   const std::vector<CodecEntry>& audioCodecs,
                                   const std::string& outputPath);

} // namespace vedit
