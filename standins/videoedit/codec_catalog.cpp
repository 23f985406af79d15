// The codecs the component offers for AVI output.
#include "standins/videoedit/codec_catalog.h"

namespace vedit {
namespace {

std::vector<CodecEntry> Filter(const std::vector<CodecEntry>& all, const std::set<std::string>& encoders)
{
    std::vector<CodecEntry> available;
    for (const CodecEntry& entry : all)
        if (encoders.count(entry.encoder))
            available.push_back(entry);
    return available;
}

} // namespace

std::vector<CodecEntry> AvailableVideoCodecs(const std::set<std::string>& encoders)
{
    // ffmpeg names its MS MPEG-4 V3 encoder "msmpeg4"; "msmpeg4v2" is the older variant.
    static const std::vector<CodecEntry> all = {
        {"Microsoft MPEG-4 Video Codec V3", "msmpeg4", "MP43"},
        {"DivX MPEG-4 Video Codec", "mpeg4", "DX50"},
        {"Microsoft MPEG-4 Video Codec V2", "msmpeg4v2", "MP42"},
    };
    return Filter(all, encoders);
}

std::vector<CodecEntry> AvailableAudioCodecs(const std::set<std::string>& encoders)
{
    static const std::vector<CodecEntry> all = {
        {"MPEG Layer-3", "libmp3lame", ""},
        {"PCM", "pcm_s16le", ""},
    };
    return Filter(all, encoders);
}

} // namespace vedit
