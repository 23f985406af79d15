// What ffmpeg's reading of a media file says about it, parsed from its diagnostic output.
// Pure code: no windows.h.
#pragma once
#include <set>
#include <string>

namespace vedit {

struct MediaInfo {
    bool readable = false;       // ffmpeg opened it and found a stream
    bool durationKnown = false;  // the container states its length
    double durationSeconds = 0;
    bool hasVideo = false;
    int width = 0;
    int height = 0;
    double framesPerSecond = 0;  // 0 when not stated
    bool hasAudio = false;
};

// Parses the text ffmpeg prints for "ffmpeg -i FILE" (input description on stderr).
MediaInfo ParseProbeOutput(const std::string& text);

// The last "time=HH:MM:SS.xx" of a progress listing in seconds, or -1 when there is none:
// the length of a file whose container does not state it, after decoding it to nowhere.
double ParseLastProgressTime(const std::string& text);

// Encoder names from "ffmpeg -encoders" (the second column of the listing).
std::set<std::string> ParseEncoderList(const std::string& text);

// "HH:MM:SS.fraction" (hours may exceed 99, the sign may be '-') in seconds; false if malformed.
bool ParseClockTime(const std::string& text, double& seconds);

} // namespace vedit
