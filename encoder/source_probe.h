// What venc learns about the source before it plans the encode: ffmpeg's description of its
// streams ("ffmpeg -i FILE" prints it on its error output). Pure code.
#pragma once

#include <string>

namespace venc {

// Which field a source's frames show first, when its stream says it is interlaced.
enum class FieldOrder { Unknown, Progressive, TopFirst, BottomFirst };

// High dynamic range transfers: PQ (HDR10, SMPTE ST 2084) and HLG (ARIB STD-B67).
enum class HdrTransfer { None, Pq, Hlg };

// The part of the frame that holds the picture, without black bars burned into it.
struct CropBox {
    bool found = false;
    int width = 0, height = 0, x = 0, y = 0;
};

struct SourceVideo {
    bool found = false;  // a video stream was described (cover art does not count)
    double fps = 0.0;    // the average rate; 0 when ffmpeg names none
    double tbr = 0.0;    // the stream's nominal rate; 0 when ffmpeg names none
    FieldOrder fieldOrder = FieldOrder::Unknown;
    int width = 0;       // as shown: a stream rotated by 90 degrees has width and height swapped
    int height = 0;
    HdrTransfer hdr = HdrTransfer::None;
    std::string matrix, primaries; // as ffmpeg names them ("bt2020nc", "bt2020"), empty: unknown
    bool fullRange = false;
    CropBox crop;        // found separately, on frames spread through the source
};

struct SourceAudio {
    bool found = false;
    int trackIndex = 0;  // among the audio streams: the one flagged default, else the first
    int sampleRate = 0;  // 0 when ffmpeg names none
};

struct SourceDescription {
    bool described = false;     // ffmpeg named at least one stream
    double durationSeconds = 0; // 0 when unknown
    SourceVideo video;
    SourceAudio audio;
};

// Reads the first "Stream #...: Video: ..." line of ffmpeg's description.
SourceVideo ParseSourceVideo(const std::string& ffmpegDescription);

// The whole description: the first video stream, the audio track to convert, the length.
SourceDescription ParseSourceDescription(const std::string& ffmpegDescription);

} // namespace venc
