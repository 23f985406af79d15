// Building Windows command lines for ffmpeg.exe and writing the numbers that go on them.
// Pure code: no windows.h, so it is unit-tested directly.
#pragma once
#include <string>
#include <vector>

#include "common/WindowsCommandLine.h"

namespace vedit {

// Arguments quoted so that CommandLineToArgvW (which ffmpeg uses) gives them back unchanged.
using wincmd::JoinCommandLine;
using wincmd::QuoteArgument;

// Seconds with millisecond precision and a point as separator, whatever the C locale says.
std::string FormatSeconds(double seconds);

struct Rational {
    int numerator = 25;
    int denominator = 1;
};

// A frame rate set as a float (23.976f arrives as 23.9759998...) as an exact rational:
// the NTSC family becomes n*1000/1001, anything else is kept to a thousandth.
Rational FrameRateAsRational(double framesPerSecond);

// The nearest rate that an MPEG-1 video stream can carry.
Rational NearestMpeg1FrameRate(double framesPerSecond);

std::string FormatRational(const Rational& rate); // "24000/1001"

} // namespace vedit
