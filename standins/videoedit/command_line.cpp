// Building Windows command lines for ffmpeg.exe and writing the numbers that go on them.
#include "standins/videoedit/command_line.h"

#include <cmath>
#include <cstdio>

namespace vedit {

std::string FormatSeconds(double seconds)
{
    if (!(seconds > 0)) // also catches NaN
        return "0.000";
    const long long millis = std::llround(seconds * 1000.0);
    char text[48];
    std::snprintf(text, sizeof(text), "%lld.%03lld", millis / 1000, millis % 1000);
    return text;
}

Rational FrameRateAsRational(double fps)
{
    if (!(fps > 0) || fps > 1000)
        return Rational{25, 1};
    // 23.976, 29.97, 59.94 and their relatives are whole rates slowed by 1000/1001.
    const double whole = std::round(fps * 1.001);
    if (std::fabs(fps - whole * 1000.0 / 1001.0) < 0.002 && std::fabs(fps - whole) > 0.002)
        return Rational{static_cast<int>(whole) * 1000, 1001};
    const long long thousandths = std::llround(fps * 1000.0);
    if (thousandths % 1000 == 0)
        return Rational{static_cast<int>(thousandths / 1000), 1};
    return Rational{static_cast<int>(thousandths), 1000};
}

Rational NearestMpeg1FrameRate(double fps)
{
    static const Rational allowed[] = {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1},
                                       {50, 1}, {60000, 1001}, {60, 1}};
    if (!(fps > 0))
        return Rational{25, 1};
    Rational best = allowed[0];
    double bestDistance = 1e9;
    for (const Rational& candidate : allowed) {
        const double distance =
            std::fabs(fps - static_cast<double>(candidate.numerator) / candidate.denominator);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

std::string FormatRational(const Rational& rate)
{
    return std::to_string(rate.numerator) + "/" + std::to_string(rate.denominator);
}

} // namespace vedit
