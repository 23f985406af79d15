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
    // Shape of one stored pixel ("SAR w:h"); 1:1 unless the stream states another, as DVD
    // and other anamorphic sources do (720x576 shown at 16:9 is 64:45).
    int pixelAspectWidth = 1;
    int pixelAspectHeight = 1;
    double framesPerSecond = 0;  // 0 when not stated
    bool hasAudio = false;
    // Black bars burned into the picture, looked for only when a preview needs it: the
    // picture inside them, in the upright frame's pixels.
    bool cropChecked = false;
    bool hasCrop = false;
    int cropX = 0, cropY = 0, cropWidth = 0, cropHeight = 0;
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
