// What venc asks of ffmpeg: the H.264 level that the request fits in, and the modern
// ffmpeg arguments equivalent to the classic options. Pure code, no Windows calls.
#pragma once

#include <string>
#include <vector>

#include "common/WindowsCommandLine.h"
#include "encoder/source_probe.h"
#include "encoder/venc_options.h"

namespace venc {

// Limits of one H.264 level (ITU-T H.264 Table A-1; bit rates for Baseline and Main, High
// allows a quarter more).
struct H264Level {
    int idc;            // level times ten; 9 stands for level 1b
    const char* name;   // "1.3"
    int maxFrameMbs;    // macroblocks per frame
    int maxMbsPerSecond;
    int maxKbps;
    int maxCpbKbit;
};

struct LevelChoice {
    bool ok = false;
    H264Level level{};
    std::string note;  // one line when the requested level had to be raised
    std::string error; // one line when no level fits
};

// The fastest frame rate an iPod plays; also the rate written when the source names none.
constexpr double kDeviceMaxFps = 30.0;

// "-t 00:00:00" comes from a trim shorter than a second (the program writes whole
// seconds): it asks for this much from the start point, or the rest of the source.
constexpr double kShortestClipSeconds = 1.0;

// The lowest level at or above the requested one that allows the frame size, the
// macroblock rate and the bit rate (the peak rate where one is set) in the given profile.
LevelChoice ChooseH264Level(int requestedIdc, int width, int height, double fps, int kbps,
                            H264Profile profile = H264Profile::Baseline);

struct RateChoice {
    double fps = 0.0;       // the output's rate, for the level check
    std::string ffmpegRate; // "-r" value; empty keeps the source's own rate
    std::string note;       // one line when the source's rate could not be kept
};

// The output frame rate: the one asked for, else the source's own (its nominal rate where
// the frames come at a varying rate), at most kDeviceMaxFps. A rate a little above it is
// written at kDeviceMaxFps (or 29.97 for the NTSC family); a real high rate (50, 59.94, 60,
// 90, 120 ...) keeps every n-th frame so that motion stays even.
RateChoice ChooseOutputRate(const VencOptions& options, const SourceVideo& source);

// The highest audio sample rate written: AAC-LC on the devices plays up to 48 kHz.
constexpr int kDeviceMaxSampleRate = 48000;

// The video filters: deinterlacing where the source is interlaced, black bars of the
// source's own cut off, then the picture at its true display shape fitted, centred, inside
// the output frame's display shape, an HDR picture tone-mapped to SDR BT.709, black bars
// around it, the frame exactly the size asked for.
std::string PictureFilter(const VencOptions& options, const SourceVideo& source);

// PQ or HLG (BT.2020) to SDR BT.709: to linear light, BT.709 primaries, a tone curve that
// keeps the picture's mid-tones and rolls its highlights off, then BT.709 8-bit 4:2:0.
std::string ToneMapFilter(const SourceVideo& source);

struct EncodePlan {
    LevelChoice level;            // H.264 only
    int maxrateKbps = 0;          // VBV, H.264 only
    int bufsizeKbit = 0;
    std::vector<std::string> notes;
    std::vector<std::string> ffmpegArgs; // after the program name
};

// The ffmpeg arguments that make an iPod-playable MP4 from the options. ok=false (with
// level.error set) when the request cannot be met. The caller supplies what ffmpeg said
// about the source and the current local time ("YYYY-MM-DD hh:mm:ss") used when no
// -timestamp was given.
bool MakeEncodePlan(const VencOptions& options, const SourceDescription& source, const std::string& nowTimestamp,
                    EncodePlan& plan);
// The same for a source known only by its video stream.
bool MakeEncodePlan(const VencOptions& options, const SourceVideo& source, const std::string& nowTimestamp,
                    EncodePlan& plan);

// Frame rates near the NTSC family become exact ratios ("29.97" -> "30000/1001").
std::string FrameRateForFfmpeg(const std::string& asWritten, double fps);

// One argument quoted the way the C runtime splits a Windows command line.
inline std::string QuoteWindowsArgument(const std::string& arg)
{
    return wincmd::QuoteArgument(arg);
}
// The program path and arguments as one Windows command line.
std::string JoinWindowsCommandLine(const std::string& program, const std::vector<std::string>& args);

} // namespace venc
