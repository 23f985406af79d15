// The codecs the component offers for AVI output, by the names a Windows codec list shows,
// each backed by an ffmpeg encoder. Pure code: no windows.h.
#pragma once
#include <set>
#include <string>
#include <vector>

namespace vedit {

struct CodecEntry {
    std::string displayName; // what the codec list's Item returns
    std::string encoder;     // ffmpeg encoder name
    std::string fourcc;      // AVI tag to write, empty for ffmpeg's default
};

// Entries whose encoder is among those ffmpeg.exe reports, in the component's fixed order.
std::vector<CodecEntry> AvailableVideoCodecs(const std::set<std::string>& encoders);
std::vector<CodecEntry> AvailableAudioCodecs(const std::set<std::string>& encoders);

} // namespace vedit
