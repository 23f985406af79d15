// Black bars burned into a source's picture (a 4:3 show inside a 16:9 frame, a wide film
// letterboxed in 4:3): found by ffmpeg's cropdetect on frames spread through the whole
// source, and cut off before the picture is fitted to the output. Pure code.
#pragma once

#include <string>
#include <vector>

#include "encoder/source_probe.h"

namespace venc {

// How many frames are looked at, spread through the source.
constexpr int kCropSamples = 8;

// The positions (seconds) of the sampled frames; none when the length is unknown.
std::vector<double> CropSamplePositions(double durationSeconds);

// The ffmpeg arguments that print cropdetect's finding for one frame at each position.
std::vector<std::string> CropDetectArgs(const std::string& inputPath, const std::vector<double>& positions);

// The crop that the findings allow, for a frame of the given (upright) size. Conservative: a
// side is cut only where it is black on every sampled frame that shows a picture; frames too
// dark to tell a bar from the scene are not counted, and without enough frames that show a
// picture nothing is cut. The box has even sides and offsets.
CropBox CropFromDetections(const std::string& cropdetectOutput, int frameWidth, int frameHeight, int samples);

} // namespace venc
