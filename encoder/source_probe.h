// What venc learns about the source before it plans the encode: ffmpeg's description of
// the first video stream ("ffmpeg -i FILE" prints it on its error output). Pure code.
#pragma once

#include <string>

namespace venc {

// Which field a source's frames show first, when its stream says it is interlaced.
enum class FieldOrder { Unknown, Progressive, TopFirst, BottomFirst };

struct SourceVideo {
    bool found = false;  // a video stream was described
    double fps = 0.0;    // 0 when ffmpeg names no rate
    FieldOrder fieldOrder = FieldOrder::Unknown;
};

// Reads the first "Stream #...: Video: ..." line of ffmpeg's description.
SourceVideo ParseSourceVideo(const std::string& ffmpegDescription);

} // namespace venc
