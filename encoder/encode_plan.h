// What venc asks of ffmpeg: the H.264 level that the request fits in, and the modern
// ffmpeg arguments equivalent to the classic options. Pure code, no Windows calls.
#pragma once

#include <string>
#include <vector>

#include "encoder/venc_options.h"

namespace venc {

// Limits of one H.264 level (ITU-T H.264 Table A-1, Baseline bit rates).
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

// Frame rate assumed for the level check when the output keeps the input's rate,
// which venc does not probe: iPod sources run at 30 frames per second or less.
constexpr double kAssumedInputFps = 30.0;

// The lowest level at or above the requested one that allows the frame size, the
// macroblock rate and the bit rate.
LevelChoice ChooseH264Level(int requestedIdc, int width, int height, double fps, int kbps);

struct EncodePlan {
    LevelChoice level;            // H.264 only
    int maxrateKbps = 0;          // VBV, H.264 only
    int bufsizeKbit = 0;
    std::vector<std::string> notes;
    std::vector<std::string> ffmpegArgs; // after the program name
};

// The ffmpeg arguments that make an iPod-playable MP4 from the options. ok=false (with
// level.error set) when the request cannot be met. The caller supplies the current local
// time ("YYYY-MM-DD hh:mm:ss") used when no -timestamp was given.
bool MakeEncodePlan(const VencOptions& options, const std::string& nowTimestamp, EncodePlan& plan);

// Frame rates near the NTSC family become exact ratios ("29.97" -> "30000/1001").
std::string FrameRateForFfmpeg(const std::string& asWritten, double fps);

// One argument quoted the way the C runtime splits a Windows command line.
std::string QuoteWindowsArgument(const std::string& arg);
// The program path and arguments as one Windows command line.
std::string JoinWindowsCommandLine(const std::string& program, const std::vector<std::string>& args);

} // namespace venc
