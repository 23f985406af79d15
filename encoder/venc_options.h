// venc's command line: the classic encoder dialect that the profile templates speak, read
// into one plain record. No Windows calls here, so it is unit-tested and fuzzable natively.
#pragma once

#include <string>
#include <vector>

namespace venc {

enum class VideoCodec { H264, Xvid };
// The H.264 profile written: Baseline plays everywhere, Main and High need a newer device.
enum class H264Profile { Baseline, Main, High };

struct VencOptions {
    std::string inputPath;
    std::string outputPath;
    bool hasStart = false;
    double startSeconds = 0.0;
    bool hasLength = false;
    double lengthSeconds = 0.0; // 0 for a trim under one second
    VideoCodec videoCodec = VideoCodec::H264;
    H264Profile profile = H264Profile::Baseline;
    int coder = 0;            // 0 asks for CAVLC, 1 for CABAC (Main and High only)
    int levelIdc = 13;        // H.264 level times ten: 13 is level 1.3
    int bufsizeKbit = 0;      // 0: not given
    int maxrateKbps = 0;      // peak rate the buffer drains at, 0: not given
    int gopFrames = 0;        // 0: not given
    int width = 320;
    int height = 240;
    std::string frameRate;    // as written, empty: same as the input
    double framesPerSecond = 0.0;
    int videoKbps = 640;
    int audioKbps = 64;
    std::string aspect;       // "W:H" as written, empty: from the frame size
    int channels = 2;
    int sampleRate = 0;       // 0: same as the input
    int volume = 256;         // 256 leaves the volume unchanged
    bool hasTitle = false;
    std::string title;
    std::string timestamp;    // "YYYY-MM-DD HH:MM:SS", empty: now
    bool overwrite = false;
    int threads = 0;          // threads for ffmpeg's decoder, filters and encoder, 0: its own choice
};

struct ParseResult {
    bool ok = false;
    std::string error; // one line, without a line break, when !ok
    VencOptions options;
};

// Reads the arguments after the program name.
ParseResult ParseVencArguments(const std::vector<std::string>& args);

// "hh:mm:ss", "hh:mm:ss.fff", "mm:ss" or plain seconds; false for anything else.
bool ParseClockTime(const std::string& text, double& seconds);

// One line that says how venc is called.
const char* VencUsage();

} // namespace venc
