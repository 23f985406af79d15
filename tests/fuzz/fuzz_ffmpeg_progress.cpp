// venc's reader of ffmpeg's -progress stream, fed arbitrary bytes in arbitrary pieces. Every
// completed block must give a position and size that are finite and not negative, and the
// report line made from it must read back through the engine's parser as the same figures.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "encoder/progress_report.h"
#include "engine/Progress.h"

namespace {

void Fail(const char* what, double a, double b)
{
    std::fprintf(stderr, "property broken: %s (%.6f, %.6f)\n", what, a, b);
    std::abort();
}

void CheckBlock(const venc::ProgressSnapshot& s)
{
    if (!std::isfinite(s.outSeconds) || s.outSeconds < 0)
        Fail("position not finite or negative", s.outSeconds, 0);
    if (s.totalBytes < 0)
        Fail("negative size", static_cast<double>(s.totalBytes), 0);
    if (s.frame < 0 || !std::isfinite(s.quality) || !std::isfinite(s.kbitsPerSecond))
        Fail("frame, quantiser or bitrate out of range", static_cast<double>(s.frame), s.quality);

    const std::string line = venc::FormatProgressLine(s);
    if (line.size() >= 160)
        Fail("report line cut by its buffer", static_cast<double>(line.size()), 160);
    const ProgressFields fields = ReadProgressFields(line.c_str());
    if (!fields.bHasSize || !fields.bHasTime)
        Fail("report line without size or time", fields.bHasSize, fields.bHasTime);
    const long long kb = s.totalBytes / 1024;
    if (kb <= 99999999 && fields.nSizeKB != kb)
        Fail("size read back differs", fields.nSizeKB, static_cast<double>(kb));
    // The engine reads five characters of the time: 123.45 comes back as 123.4.
    if (s.outSeconds < 99999.0 && (fields.dTime > s.outSeconds + 0.006 || fields.dTime < s.outSeconds - 1.0))
        Fail("time read back differs", fields.dTime, s.outSeconds);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    venc::ProgressReader reader;
    while (in.remaining_bytes() > 0) {
        const std::size_t length = in.ConsumeIntegralInRange<std::size_t>(1, 255);
        const std::string piece = in.ConsumeBytesAsString(length);
        if (reader.Feed(piece.data(), piece.size()))
            CheckBlock(reader.Latest());
    }
    return 0;
}
