// venc's command line: arbitrary arguments (separated by zero bytes in the input). An accepted
// line must hold values in their documented ranges, a refused one a one-line reason; the ffmpeg
// command line planned from an accepted one must split back into exactly its arguments.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "encoder/encode_plan.h"
#include "encoder/venc_options.h"
#include "tests/fuzz/windows_split.h"

namespace {

void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "property broken: %s: [%s]\n", what, detail.c_str());
    std::abort();
}

void CheckAccepted(const venc::VencOptions& o)
{
    if (o.hasStart && (!std::isfinite(o.startSeconds) || o.startSeconds < 0))
        Fail("start time", std::to_string(o.startSeconds));
    if (o.hasLength && (!std::isfinite(o.lengthSeconds) || o.lengthSeconds < 0))
        Fail("length", std::to_string(o.lengthSeconds));
    if (o.width < 16 || o.height < 16 || o.videoKbps <= 0 || o.audioKbps <= 0 || o.channels < 1 ||
        o.channels > 2 || o.volume < 0 || o.sampleRate < 0)
        Fail("a number outside its range", std::to_string(o.width) + "x" + std::to_string(o.height));
    if (o.inputPath.empty() || o.outputPath.empty() || o.inputPath == o.outputPath)
        Fail("input and output", o.inputPath + " / " + o.outputPath);

    venc::EncodePlan plan;
    if (!venc::MakeEncodePlan(o, venc::SourceVideo{}, "2024-01-02 03:04:05", plan))
        return;
    const std::string line = venc::JoinWindowsCommandLine("ffmpeg.exe", plan.ffmpegArgs);
    std::vector<std::string> back = SplitWindowsArguments(line);
    if (back.empty() || back.front() != "ffmpeg.exe")
        Fail("program name lost", line);
    back.erase(back.begin());
    if (back != plan.ffmpegArgs)
        Fail("ffmpeg arguments do not survive the command line", line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty() || args.empty())
        args.push_back(current);

    for (const std::string& arg : args) {
        double seconds = -1;
        if (venc::ParseClockTime(arg, seconds) && (!std::isfinite(seconds) || seconds < 0))
            Fail("clock time", arg);
        // Any single argument, a title or a path, must survive quoting.
        const std::vector<std::string> back = SplitWindowsArguments(venc::QuoteWindowsArgument(arg));
        if (back.size() != 1 || back[0] != arg)
            Fail("argument does not survive quoting", arg);
    }

    const venc::ParseResult result = venc::ParseVencArguments(args);
    if (result.ok)
        CheckAccepted(result.options);
    else if (result.error.empty() || result.error.find_first_of("\r\n") != std::string::npos)
        Fail("refusal is not one line", result.error);
    return 0;
}
